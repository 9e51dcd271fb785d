#include "core/library/TextExchange.h"

#include <algorithm>
#include <initializer_list>
#include <unordered_map>

#include "core/text/LineReader.h"

namespace mopira {

namespace {

// The distinct control characters of UTF-8 (or CP932: its bytes below 0x80 are ASCII) texts.
std::u32string ControlCharacters(std::initializer_list<std::string_view> texts) {
    std::u32string found;
    for (std::string_view text : texts) {
        for (char byte : text) {
            const auto value = static_cast<unsigned char>(byte);
            if ((value < 0x20 || value == 0x7F) && found.find(value) == std::u32string::npos) {
                found += value;
            }
        }
    }
    return found;
}

}  // namespace

ImportFile ParseImport(std::string_view bytes, std::string_view defaultFolder) {
    ImportFile file;
    // The mark says UTF-8; without it, bytes that are not UTF-8 come from a CP932 program.
    const bool marked = Charset::TakeFileMark(bytes).GetEncoding() == Encoding::Utf8;
    const bool valid = Utf8::IsValid(bytes);
    if (!marked && !valid) {
        file.encoding = Encoding::Cp932;
    }
    const Charset charset(file.encoding);
    // Valid UTF-8 as a whole is valid in every piece: taken as it is, not decoded again.
    const bool asIs = valid && file.encoding == Encoding::Utf8;
    auto read = [&](std::string_view part, std::string& out) {
        if (asIs) {
            out.assign(part);
            return;
        }
        file.lines.back().invalidBytes = file.lines.back().invalidBytes || !charset.IsValid(part);
        out = charset.ToUtf8(part);
    };
    CLineReader reader(bytes);
    std::string_view line;
    for (std::size_t number = 1; reader.Next(line); ++number) {
        if (line.empty() || (number == 1 && line == kExchangeHeader)) {
            continue;
        }
        file.lines.push_back({number, {}, {}, false});
        // A TAB is never part of a CP932 character, so the split holds for both encodings.
        const std::size_t tab = line.find('\t');
        read(line.substr(0, tab), file.lines.back().text);
        if (tab == std::string_view::npos) {
            file.lines.back().folder = defaultFolder;
        } else {
            read(line.substr(tab + 1), file.lines.back().folder);
        }
    }
    return file;
}

ImportSummary ApplyImport(CFaceLibrary& library, const ImportFile& file,
                          std::string_view reservedFolder, ImportProgress* progress) {
    ImportSummary summary;
    const Charset charset = library.GetCharset();
    library.Reserve(library.Size() + file.lines.size());
    // Many lines share a few folders: each is encoded once.
    std::unordered_map<std::string_view, EncodeResult> folders;
    const std::pair<const std::string_view, EncodeResult>* lastFolder = nullptr;
    // Told every so many lines: often enough for a progress bar, rarely enough to cost nothing.
    constexpr std::size_t kProgressStep = 1024;
    std::size_t done = 0;
    for (const ImportLine& line : file.lines) {
        if (progress && ++done % kProgressStep == 0) {
            progress->applied.store(done, std::memory_order_relaxed);
            if (progress->cancel.load(std::memory_order_relaxed)) {
                summary.cancelled = true;
                return summary;
            }
        }
        auto refuse = [&](ImportProblem problem, std::u32string characters = {}) {
            summary.refused.push_back({line.line, problem, std::move(characters)});
        };
        if (line.text.empty()) {
            refuse(ImportProblem::EmptyText);
            continue;
        }
        if (line.folder.empty()) {
            refuse(ImportProblem::EmptyFolder);
            continue;
        }
        if (line.invalidBytes) {
            refuse(ImportProblem::InvalidBytes);
            continue;
        }
        if (std::u32string controls = ControlCharacters({line.text, line.folder});
            !controls.empty()) {
            refuse(ImportProblem::ControlCharacter, std::move(controls));
            continue;
        }
        if (!reservedFolder.empty() && line.folder == reservedFolder) {
            refuse(ImportProblem::ReservedFolder);
            continue;
        }
        EncodeResult text = charset.FromUtf8(line.text);
        if (!text.Ok()) {
            refuse(ImportProblem::UnrepresentableText, std::move(text.unrepresentable));
            continue;
        }
        // Lines of one folder often follow each other: the last one is looked at first.
        if (!lastFolder || lastFolder->first != line.folder) {
            auto [place, fresh] = folders.try_emplace(line.folder);
            if (fresh) {
                place->second = charset.FromUtf8(line.folder);
            }
            lastFolder = &*place;
        }
        const EncodeResult& folder = lastFolder->second;
        if (!folder.Ok()) {
            refuse(ImportProblem::UnrepresentableFolder, folder.unrepresentable);
            continue;
        }
        if (const auto id = library.AppendRecord(std::move(text.bytes), folder.bytes)) {
            summary.added.push_back(*id);
        } else {
            summary.alreadyThere.push_back(line.line);
        }
    }
    return summary;
}

ExportResult ExportRecords(const CFaceLibrary& library, std::span<const RecordId> ids) {
    ExportResult result;
    const Charset charset = library.GetCharset();
    result.bytes = kExchangeHeader;
    result.bytes += '\n';
    for (RecordId id : ids) {
        if (!library.IsLive(id)) {
            continue;
        }
        const std::string_view text = library.Text(id);
        const std::string& folder = library.Folder(id);
        if (!charset.IsValid(text) || !charset.IsValid(folder) ||
            !ControlCharacters({text, folder}).empty()) {
            result.skipped.push_back(id);
            continue;
        }
        result.bytes += charset.ToUtf8(text);
        result.bytes += '\t';
        result.bytes += charset.ToUtf8(folder);
        result.bytes += '\n';
        ++result.written;
    }
    return result;
}

bool HasUnfiledLines(const ImportFile& file) {
    return std::any_of(file.lines.begin(), file.lines.end(),
                       [](const ImportLine& line) { return line.folder == kUnfiledFolder; });
}

void FileUnfiledLines(ImportFile& file, std::string_view folder) {
    for (ImportLine& line : file.lines) {
        if (line.folder == kUnfiledFolder) {
            line.folder = folder;
        }
    }
}

bool ImportNeedsUtf8(const ImportFile& file, Charset charset) {
    if (charset.GetEncoding() == Encoding::Utf8) {
        return false;
    }
    // Lines refused for their bytes are refused in any encoding; a line still waiting for its
    // folder goes into one the library has, or one asked for in its own encoding.
    return std::any_of(file.lines.begin(), file.lines.end(), [charset](const ImportLine& line) {
        return !line.invalidBytes &&
               (!charset.FromUtf8(line.text).Ok() ||
                (line.folder != kUnfiledFolder && !charset.FromUtf8(line.folder).Ok()));
    });
}

}  // namespace mopira
