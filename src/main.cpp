#include <QApplication>

#include "ui/app/MainApp.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    mopira::CMainApp app;
    return app.InitInstance();
}
