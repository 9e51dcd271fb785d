#pragma once

#include <QString>

namespace mopira {

// How the data folder was chosen.
enum class DataMode {
    Portable,   // beside the executable: a folder of its own, or the build tree
    Installed,  // the user's data folder, filled from the installed starter files
    Chosen,     // named on the command line
};

// What is known about the places the data could live, gathered before the choice.
struct DataCandidates {
    QString chosen;  // --data-dir, empty when not given
    QString executableDir;
    bool executableHasLibrary = false;  // FaceList.dat lies beside the executable
    bool executableWritable = false;
    QString shareDir;  // the installed starter files; empty when there are none
    QString userDir;   // the user's data location; empty when the system names none
};

struct DataFolder {
    DataMode mode = DataMode::Portable;
    QString directory;
    QString starterDir;  // where missing files are copied from; empty for none
};

// Decides where the data lives. A library beside the executable keeps a portable copy where
// it is. An installed program never writes beside itself, even when it could (run as root, or
// installed under the user's home): its installed starter files tell it apart from a portable
// folder that has not been used yet.
DataFolder ChooseDataFolder(const DataCandidates& candidates);

// Looks at the file system: the executable's folder, the installed share folder beside it
// (../share/mopira) and the user's data location.
DataCandidates ProbeDataCandidates(const QString& chosen, const QString& executableDir);

// Creates the data folder and copies each file of the starter folder that it lacks; a file
// already there is the user's and is never replaced. Returns false with `error` set when the folder
// cannot be made. A starter file that cannot be copied is left out: the program creates it empty.
bool PrepareDataFolder(const DataFolder& folder, QString* error);

// The help page: the data folder's own copy first, else the installed one; empty when neither
// exists.
QString FindHelpPage(const QString& dataDir, const QString& executableDir);

}  // namespace mopira
