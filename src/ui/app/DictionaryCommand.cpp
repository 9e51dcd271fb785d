#include "ui/app/DictionaryCommand.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>

#include "store/DataFolder.h"
#include "store/ExchangeFile.h"
#include "store/LibraryJobs.h"
#include "ui/platform/FileErrorText.h"

namespace mopira {

namespace {

int Fail(const QString& what) {
    std::fprintf(stderr, "mopira: %s\n", qPrintable(what));
    return 1;
}

}  // namespace

int ExportDictionaryCommand(const QString& dataDir, DictionaryFormat format, const QString& file) {
    const DataFolder folder =
        ChooseDataFolder(ProbeDataCandidates(dataDir, QCoreApplication::applicationDirPath()));
    const CLibraryFile library(folder.directory);
    // Read only: a running window's base and conflict copies are its own business.
    CLibraryFile::Opened opened = library.Open();
    if (opened.state == CLibraryFile::State::Unreadable) {
        return Fail(
            QStringLiteral("cannot read %1: %2")
                .arg(QDir::toNativeSeparators(library.Path()), DescribeFileError(opened.error)));
    }
    CFaceLibrary faces;
    faces.AdoptFaceList(std::move(opened.bytes));
    const DictionaryExport dictionary =
        MakeDictionary(faces, ReadKeywords(library, faces), format).dictionary;
    const QString path = QDir::current().absoluteFilePath(file);
    if (const FileError error = WriteExport(path, library.Path(), dictionary.bytes);
        error.Failed()) {
        return Fail(QStringLiteral("cannot write %1: %2")
                        .arg(QDir::toNativeSeparators(path), DescribeFileError(error)));
    }
    std::printf("%s\n",
                qPrintable(QStringLiteral("Wrote %1 emoticons under %2 readings to %3 (%4 left "
                                          "out: no reading, or more than the format takes).")
                               .arg(dictionary.faces)
                               .arg(dictionary.entries)
                               .arg(QDir::toNativeSeparators(path))
                               .arg(dictionary.omitted.size())));
    return 0;
}

}  // namespace mopira
