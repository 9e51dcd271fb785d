// The floor of whole-process measurements: mopira_floor opens a bare window with an empty
// list; mopira_floor FILE reads, splits and sorts the library FILE and lists it.
#include <QApplication>

#include "FloorData.h"
#include "FloorWindow.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    mopira::bench::CFloorWindow window;
    if (argc > 1) {
        window.ShowLibrary(mopira::bench::ReadFile(argv[1]), argv[1]);
    }
    window.show();
    return QApplication::exec();
}
