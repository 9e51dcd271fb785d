#include "store/ExchangeFile.h"

#include <QFileInfo>
#include <algorithm>
#include <cerrno>

namespace mopira {

ImportRead ReadImportFile(const QString& path) {
    ImportRead read;
    if (StampOf(path).size > kMaxImportBytes) {
        read.problem = ImportRead::Problem::TooLarge;
        return read;
    }
    FileContent content = ReadWholeFile(path);
    if (content.state != FileContent::State::Read) {
        read.problem = ImportRead::Problem::Unreadable;
        read.error = content.state == FileContent::State::Missing
                         ? FileError{FileStep::Open, ENOENT}
                         : content.error;
        return read;
    }
    // It may have grown between the look at its size and the read.
    if (static_cast<std::int64_t>(content.bytes.size()) > kMaxImportBytes) {
        read.problem = ImportRead::Problem::TooLarge;
        return read;
    }
    read.file = ParseImport(content.bytes, kUnfiledFolder);
    return read;
}

bool IsMostlyNotText(const ImportFile& file) {
    const std::size_t bad = static_cast<std::size_t>(
        std::count_if(file.lines.begin(), file.lines.end(), [](const ImportLine& line) {
            return line.invalidBytes || std::any_of(line.text.begin(), line.text.end(), [](char c) {
                       const auto byte = static_cast<unsigned char>(c);
                       return byte < 0x20 || byte == 0x7F;
                   });
        }));
    return !file.lines.empty() && bad * 2 > file.lines.size();
}

FileError WriteExport(const QString& path, const QString& libraryPath, std::string_view bytes) {
    if (QFileInfo(ResolvedPath(path)) == QFileInfo(ResolvedPath(libraryPath))) {
        return {FileStep::Open, EEXIST};
    }
    return ReplaceFile(path, bytes);
}

DictionaryMade MakeDictionary(const CFaceLibrary& library, const CKeywordTable& keywords,
                              DictionaryFormat format) {
    DictionaryMade made{ExportDictionary(library, keywords, format), {}};
    made.omittedTexts.reserve(made.dictionary.omitted.size());
    for (const DictionaryOmission& omission : made.dictionary.omitted) {
        made.omittedTexts.emplace_back(library.Text(omission.id));
    }
    return made;
}

}  // namespace mopira
