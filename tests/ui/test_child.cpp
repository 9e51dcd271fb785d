// A second process for the tests that need one:
//   test_child save-crash DATA_FOLDER STEP  saves a library with one emoticon added and is
//                                           killed right after the real work of that save step;
//   test_child hold DATA_FOLDER             holds the folder as a running program does, until
//                                           it is killed.
#include <QCoreApplication>
#include <cstdio>
#include <map>

#include "ui/app/SingleInstance.h"
#include "ui/library/LibraryDocument.h"
#include "ui/platform/PlatformFile.h"

namespace {

int SaveCrash(const QString& folder, const std::string& stepName) {
    const std::map<std::string, std::pair<mopira::FileStep, qint64>> steps = {
        {"create", {mopira::FileStep::Create, 0}}, {"write", {mopira::FileStep::Write, 1}},
        {"flush", {mopira::FileStep::Flush, 0}},   {"sync", {mopira::FileStep::Sync, 0}},
        {"close", {mopira::FileStep::Close, 0}},   {"rename", {mopira::FileStep::Rename, 0}},
    };
    const auto step = steps.find(stepName);
    if (step == steps.end()) {
        return 2;
    }
    mopira::CLibraryDocument document(folder);
    document.Load();
    document.Change(mopira::AddFaces{{{"added", "new"}}});
    mopira::CFileFaultSeam kill(step->second.first, 0, step->second.second,
                                mopira::CFileFaultSeam::Action::Kill);
    document.Save();
    return 0;  // not reached: the seam kills the process
}

int Hold(const QString& folder) {
    mopira::CSingleInstance instance(folder);
    if (!instance.Claim()) {
        return 1;
    }
    std::printf("holding\n");
    std::fflush(stdout);
    return QCoreApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 4 && arguments[1] == QLatin1String("save-crash")) {
        return SaveCrash(arguments[2], arguments[3].toStdString());
    }
    if (arguments.size() == 3 && arguments[1] == QLatin1String("hold")) {
        return Hold(arguments[2]);
    }
    std::fprintf(stderr, "usage: test_child save-crash DATA_FOLDER STEP | hold DATA_FOLDER\n");
    return 2;
}
