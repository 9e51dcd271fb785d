#include "core/library/LibraryMerge.h"

#include <optional>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace mopira {

namespace {

struct Recoded {
    std::string bytes;
    bool invalid = false;    // bytes that are no character of their encoding
    std::u32string missing;  // characters the target encoding lacks
    bool Ok() const { return !invalid && missing.empty(); }
};

// Writes texts and folder names of one encoding in the encoding of a library, with the bytes
// the library has for the same characters. Only CP932 gives a character several codes, so only
// a CP932 library is read for them, and only once.
class CRecoder {
public:
    CRecoder(Charset from, const CFaceLibrary& library) : m_from(from), m_library(library) {}

    Recoded Text(std::string_view text) { return Recode(text, m_texts); }
    Recoded Folder(std::string_view folder) { return Recode(folder, m_folders); }

    // The record of the library whose text is the same characters as `text`.
    std::optional<RecordId> Find(std::string_view text) {
        if (SameEncoding()) {
            return m_library.FindRecord(text);
        }
        const Recoded recoded = Text(text);
        return recoded.Ok() ? m_library.FindRecord(recoded.bytes) : std::nullopt;
    }

    // Whether `folder` is the same characters as the library's folder `own`.
    bool IsFolder(std::string_view folder, const std::string& own) {
        if (SameEncoding()) {
            return folder == own;
        }
        const Recoded recoded = Folder(folder);
        return recoded.Ok() && recoded.bytes == own;
    }

private:
    // The library's own bytes of texts (or folders) it writes with a code other than the one
    // Windows writes, by the form with Windows' codes; built when first needed.
    struct Variants {
        bool forTexts = true;
        std::optional<std::unordered_map<std::string, std::string>> own;
    };

    bool SameEncoding() const { return m_from == m_library.GetCharset(); }

    bool Holds(const Variants& variants, const std::string& bytes) const {
        return variants.forTexts ? m_library.FindRecord(bytes).has_value()
                                 : m_library.CountFacesInFolder(bytes) > 0;
    }

    void Collect(Variants& variants) const {
        variants.own.emplace();
        auto add = [&variants](std::string_view own) {
            std::string buffer;
            const std::string_view preferred = Cp932::SearchForm(own, buffer);
            if (preferred.data() != own.data()) {
                variants.own->try_emplace(std::string(preferred), own);
            }
        };
        if (variants.forTexts) {
            m_library.ForEachRecord([&](RecordId id) { add(m_library.Text(id)); });
        } else {
            for (const std::string& name : m_library.FolderNames()) {
                add(name);
            }
        }
    }

    Recoded Recode(std::string_view bytes, Variants& variants) {
        Recoded result;
        if (SameEncoding()) {
            result.bytes = bytes;
            return result;
        }
        if (!m_from.IsValid(bytes)) {
            result.invalid = true;
            return result;
        }
        EncodeResult encoded = m_library.GetCharset().FromUtf8(m_from.ToUtf8(bytes));
        if (!encoded.Ok()) {
            result.missing = std::move(encoded.unrepresentable);
            return result;
        }
        result.bytes = std::move(encoded.bytes);
        if (m_library.GetCharset().GetEncoding() == Encoding::Cp932 &&
            !Holds(variants, result.bytes)) {
            if (!variants.own) {
                Collect(variants);
            }
            if (const auto found = variants.own->find(result.bytes); found != variants.own->end()) {
                result.bytes = found->second;
            }
        }
        return result;
    }

    Charset m_from;
    const CFaceLibrary& m_library;
    Variants m_texts{true, std::nullopt};
    Variants m_folders{false, std::nullopt};
};

}  // namespace

LibraryChanges DiffLibraries(const CFaceLibrary* base, const CFaceLibrary& copy) {
    LibraryChanges changes;
    changes.charset = copy.GetCharset();
    if (!base) {
        changes.added.reserve(copy.Size());
        copy.ForEachRecord([&](RecordId id) {
            changes.added.push_back({std::string(copy.Text(id)), copy.Folder(id)});
        });
        return changes;
    }
    CRecoder toBase(copy.GetCharset(), *base);
    CRecoder toCopy(base->GetCharset(), copy);
    std::vector<bool> inCopy;
    copy.ForEachRecord([&](RecordId id) {
        const std::string_view text = copy.Text(id);
        const std::string& folder = copy.Folder(id);
        const auto baseId = toBase.Find(text);
        if (!baseId) {
            changes.added.push_back({std::string(text), folder});
            return;
        }
        if (inCopy.size() <= *baseId) {
            inCopy.resize(std::max<std::size_t>(*baseId + 1, base->Size()));
        }
        inCopy[*baseId] = true;
        const std::string& baseFolder = base->Folder(*baseId);
        if (!toBase.IsFolder(folder, baseFolder)) {
            Recoded from = toCopy.Folder(baseFolder);
            changes.moved.push_back(
                {std::string(text), from.Ok() ? std::move(from.bytes) : std::string(), folder});
        }
    });
    base->ForEachRecord([&](RecordId id) {
        if (id < inCopy.size() && inCopy[id]) {
            return;
        }
        Recoded text = toCopy.Text(base->Text(id));
        Recoded folder = toCopy.Folder(base->Folder(id));
        if (text.Ok() && folder.Ok()) {
            changes.removed.push_back({std::move(text.bytes), std::move(folder.bytes)});
        }
    });
    return changes;
}

RecodedChanges RecodeChanges(const LibraryChanges& changes, const CFaceLibrary& library) {
    RecodedChanges result;
    result.changes.charset = library.GetCharset();
    CRecoder recoder(changes.charset, library);
    // A text the library cannot hold, or the folder it goes to: refused with the reason.
    auto refused = [&](const std::string& text, const std::string& folder, Recoded& inText,
                       Recoded& inFolder) {
        if (inText.Ok() && inFolder.Ok()) {
            return false;
        }
        const bool textFails = !inText.Ok();
        Recoded& failed = textFails ? inText : inFolder;
        const MergeProblem problem = failed.invalid ? MergeProblem::InvalidBytes
                                     : textFails    ? MergeProblem::UnrepresentableText
                                                    : MergeProblem::UnrepresentableFolder;
        result.refused.push_back({text, folder, problem, std::move(failed.missing)});
        return true;
    };
    for (const FaceEntry& face : changes.removed) {
        Recoded text = recoder.Text(face.text);
        Recoded folder = recoder.Folder(face.folder);
        if (text.Ok() && folder.Ok()) {
            result.changes.removed.push_back({std::move(text.bytes), std::move(folder.bytes)});
        }
    }
    for (const FaceMove& move : changes.moved) {
        Recoded text = recoder.Text(move.text);
        Recoded to = recoder.Folder(move.toFolder);
        if (!refused(move.text, move.toFolder, text, to)) {
            // A base folder the library's encoding lacks is no folder of the library.
            Recoded from = recoder.Folder(move.fromFolder);
            result.changes.moved.push_back({std::move(text.bytes),
                                            from.Ok() ? std::move(from.bytes) : std::string(),
                                            std::move(to.bytes)});
        }
    }
    // Two CP932 codes of one character are one UTF-8 text: a removal and an add that meet
    // there are a move of that text, which keeps it.
    std::vector<FaceEntry>& removed = result.changes.removed;
    std::unordered_map<std::string_view, std::size_t> removal;
    for (std::size_t i = 0; i < removed.size(); ++i) {
        removal.emplace(removed[i].text, i);
    }
    std::vector<bool> becameMove(removed.size());
    for (const FaceEntry& face : changes.added) {
        Recoded text = recoder.Text(face.text);
        Recoded folder = recoder.Folder(face.folder);
        if (refused(face.text, face.folder, text, folder)) {
            continue;
        }
        if (const auto met = removal.find(text.bytes);
            met != removal.end() && !becameMove[met->second]) {
            becameMove[met->second] = true;
            result.changes.moved.push_back(
                {std::move(text.bytes), removed[met->second].folder, std::move(folder.bytes)});
            continue;
        }
        result.changes.added.push_back({std::move(text.bytes), std::move(folder.bytes)});
    }
    removal.clear();
    std::size_t kept = 0;
    for (std::size_t i = 0; i < removed.size(); ++i) {
        if (!becameMove[i]) {
            if (kept != i) {
                removed[kept] = std::move(removed[i]);
            }
            ++kept;
        }
    }
    removed.resize(kept);
    return result;
}

}  // namespace mopira
