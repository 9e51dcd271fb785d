#include "ui/platform/FileErrorText.h"

#include <cerrno>

#include "res/StringTable.h"

namespace mopira {

namespace {

QStringView StepPhrase(FileStep step) {
    switch (step) {
        case FileStep::Open:
            return res::kFileStepOpen;
        case FileStep::Status:
            return res::kFileStepStatus;
        case FileStep::Read:
            return res::kFileStepRead;
        case FileStep::Lock:
            return res::kFileStepLock;
        case FileStep::Create:
            return res::kFileStepCreate;
        case FileStep::Write:
        case FileStep::Flush:
            return res::kFileStepWrite;
        case FileStep::Sync:
            return res::kFileStepSync;
        case FileStep::Close:
            return res::kFileStepClose;
        case FileStep::Rename:
            return res::kFileStepRename;
    }
    return {};
}

QString Reason(const FileError& error) {
    switch (error.problem) {
        case FileProblem::ShortRead:
            return res::kFileShortRead.toString();
        case FileProblem::NotRegular:
            return res::kFileNotRegular.toString();
        case FileProblem::ReadOnly:
            return res::kFileReadOnly.toString();
        case FileProblem::None:
            break;
    }
    switch (error.code) {
        case ENOSPC:
            return res::kFileNoSpace.toString();
#ifdef EDQUOT
        case EDQUOT:
            return res::kFileQuota.toString();
#endif
        case EACCES:
        case EPERM:
            return res::kFileDenied.toString();
        case EROFS:
            return res::kFileReadOnlyDrive.toString();
        case EFBIG:
            return res::kFileTooLarge.toString();
        case EIO:
            return res::kFileIoError.toString();
        case ENOENT:
        case ENOTDIR:
            return res::kFileNotFound.toString();
        case EISDIR:
            return res::kFileIsFolder.toString();
        case ENAMETOOLONG:
            return res::kFilePathTooLong.toString();
        case EMFILE:
        case ENFILE:
            return res::kFileTooManyOpen.toString();
        case ENOMEM:
            return res::kFileNoMemory.toString();
        case EILSEQ:
            return res::kFileNotUtf8.toString();
        case EBUSY:
        case EAGAIN:
            return res::kFileBusy.toString();
        default:
            return res::kFileOtherError.toString().arg(error.code).arg(qt_error_string(error.code));
    }
}

}  // namespace

QString DescribeFileError(const FileError& error) {
    return res::kFileErrorFormat.toString().arg(Reason(error), StepPhrase(error.step));
}

}  // namespace mopira
