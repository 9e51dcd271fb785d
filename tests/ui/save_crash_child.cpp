// Saves a library with one emoticon added and is killed at the save step named on the command
// line, right after that step's real work: the tests look at what the file holds afterwards.
#include <QCoreApplication>
#include <cstdio>
#include <map>

#include "ui/library/LibraryDocument.h"
#include "ui/platform/PlatformFile.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: save_crash_child DATA_FOLDER STEP\n");
        return 2;
    }
    const std::map<std::string, std::pair<mopira::FileStep, qint64>> steps = {
        {"create", {mopira::FileStep::Create, 0}}, {"write", {mopira::FileStep::Write, 1}},
        {"flush", {mopira::FileStep::Flush, 0}},   {"sync", {mopira::FileStep::Sync, 0}},
        {"close", {mopira::FileStep::Close, 0}},   {"rename", {mopira::FileStep::Rename, 0}},
    };
    const auto step = steps.find(argv[2]);
    if (step == steps.end()) {
        return 2;
    }
    mopira::CLibraryDocument document(QString::fromLocal8Bit(argv[1]));
    document.Load();
    document.Change(mopira::AddFaces{{{"added", "new"}}});
    mopira::CFileFaultSeam kill(step->second.first, 0, step->second.second,
                                mopira::CFileFaultSeam::Action::Kill);
    document.Save();
    return 0;  // not reached: the seam kills the process
}
