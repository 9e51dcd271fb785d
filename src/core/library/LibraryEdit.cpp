#include "core/library/LibraryEdit.h"

#include <algorithm>
#include <map>

namespace mopira {

namespace {

class CEditApplier {
public:
    explicit CEditApplier(CFaceLibrary& library) : m_library(library) {}

    // A folder emptied early in a change may have been filed into again later in it, and one
    // that only came and went within the change was never the user's.
    void DropRefilled() {
        std::erase_if(m_outcome.emptied, [&](const std::string& folder) {
            return m_library.CountFacesInFolder(folder) > 0 || m_countBefore[folder] == 0;
        });
    }
    EditOutcome Take() { return std::move(m_outcome); }

    void operator()(const AddFaces& add) {
        for (const FaceEntry& face : add.faces) {
            File(face);
        }
    }

    void operator()(const ReplaceFace& replace) {
        const auto id = m_library.FindRecord(replace.oldText);
        if (!id) {
            m_outcome.missing.push_back(replace.oldText);
            File(replace.face);
            return;
        }
        const auto clash = m_library.FindRecord(replace.face.text);
        if (clash && *clash != *id) {
            // Another record took the new text meanwhile: the two become that one.
            Remove(replace.oldText);
            File(replace.face);
            return;
        }
        const std::string oldFolder = m_library.Folder(*id);
        Touch(oldFolder);
        Touch(replace.face.folder);
        const bool same =
            m_library.Text(*id) == replace.face.text && oldFolder == replace.face.folder;
        if (!same &&
            m_library.ReplaceRecord(replace.oldText, replace.face.text, replace.face.folder)) {
            m_outcome.changed = true;
            NoteIfEmptied(oldFolder);
        }
    }

    void operator()(const MoveFaces& move) {
        std::vector<RecordId> ids;
        ids.reserve(move.texts.size());
        for (const std::string& text : move.texts) {
            if (const auto id = m_library.FindRecord(text)) {
                ids.push_back(*id);
            } else {
                m_outcome.missing.push_back(text);
            }
        }
        std::erase_if(ids, [&](RecordId id) { return m_library.Folder(id) == move.folder; });
        for (RecordId id : ids) {
            Touch(m_library.Folder(id));
        }
        m_outcome.emptied = m_library.MoveRecords(ids, move.folder);
        m_outcome.changed = !ids.empty();
    }

    void operator()(const RemoveFaces& remove) {
        for (const std::string& text : remove.texts) {
            Remove(text);
        }
    }

    void operator()(const ConvertLibraryToUtf8&) {
        const bool wasCp932 = m_library.GetCharset().GetEncoding() == Encoding::Cp932;
        m_outcome.refused = m_library.ConvertToUtf8();
        m_outcome.changed = wasCp932 && m_outcome.refused.empty();
    }

    void operator()(const ImportFaces& import) {
        if (import.file) {
            m_outcome.imported = ApplyImport(m_library, *import.file, import.reservedFolder);
            m_outcome.changed = !m_outcome.imported.added.empty();
        }
    }

    void operator()(const MergeChanges& merge) {
        if (!merge.changes) {
            return;
        }
        const LibraryChanges* changes = merge.changes.get();
        RecodedChanges recoded;
        if (changes->charset != m_library.GetCharset()) {
            recoded = RecodeChanges(*changes, m_library);
            if (!recoded.refused.empty()) {
                m_outcome.merged.refused = std::move(recoded.refused);
                return;
            }
            changes = &recoded.changes;
        }
        MergeSummary& summary = m_outcome.merged;
        // Removals first, so that nothing the change adds or moves is removed by it.
        for (const FaceEntry& face : changes->removed) {
            const auto id = m_library.FindRecord(face.text);
            if (id && m_library.Folder(*id) == face.folder && Remove(face.text)) {
                ++summary.removed;
            }
        }
        for (const FaceMove& move : changes->moved) {
            const auto id = m_library.FindRecord(move.text);
            if (!id) {
                summary.added += File({move.text, move.toFolder}) ? 1 : 0;
            } else if (m_library.Folder(*id) == move.fromFolder) {
                summary.moved += File({move.text, move.toFolder}) ? 1 : 0;
            }
        }
        for (const FaceEntry& face : changes->added) {
            if (!m_library.FindRecord(face.text)) {
                summary.added += File(face) ? 1 : 0;
            }
        }
    }

private:
    // Adds the entry, or files the record of that text in the entry's folder. Returns whether
    // a record changed.
    bool File(const FaceEntry& face) {
        if (face.text.empty() || face.folder.empty()) {
            return false;
        }
        Touch(face.folder);
        if (const auto id = m_library.FindRecord(face.text)) {
            const std::string oldFolder = m_library.Folder(*id);
            Touch(oldFolder);
            if (oldFolder != face.folder && m_library.SetRecordFolder(face.text, face.folder)) {
                m_outcome.changed = true;
                NoteIfEmptied(oldFolder);
                return true;
            }
            return false;
        }
        if (m_library.AppendRecord(face.text, face.folder)) {
            m_outcome.changed = true;
            return true;
        }
        return false;
    }

    bool Remove(const std::string& text) {
        const auto id = m_library.FindRecord(text);
        if (!id) {
            return false;
        }
        const std::string folder = m_library.Folder(*id);
        Touch(folder);
        if (m_library.RemoveRecord(text)) {
            m_outcome.changed = true;
            NoteIfEmptied(folder);
            return true;
        }
        return false;
    }

    // Remembers how many records a folder had before this change first touched it.
    void Touch(const std::string& folder) {
        m_countBefore.try_emplace(folder, m_library.CountFacesInFolder(folder));
    }

    void NoteIfEmptied(const std::string& folder) {
        if (m_library.CountFacesInFolder(folder) == 0 &&
            std::find(m_outcome.emptied.begin(), m_outcome.emptied.end(), folder) ==
                m_outcome.emptied.end()) {
            m_outcome.emptied.push_back(folder);
        }
    }

    CFaceLibrary& m_library;
    EditOutcome m_outcome;
    std::map<std::string, int> m_countBefore;
};

// Converts the texts of a change from one encoding to another. A text that names a record
// only needs to find it: bytes that are no character find none in the other encoding, which
// the change then reports as missing. A text the change brings must be one the library can hold.
class CEditConverter {
public:
    CEditConverter(Charset from, Charset to) : m_from(from), m_to(to) {}

    // The converted change, or nullopt with Blocking() naming the text that cannot be.
    std::optional<LibraryEdit> Convert(const LibraryEdit& edit) {
        LibraryEdit converted = edit;
        std::visit([this](auto& change) { (*this)(change); }, converted);
        if (m_blocking) {
            return std::nullopt;
        }
        return converted;
    }
    const std::optional<std::string>& Blocking() const { return m_blocking; }

    void operator()(AddFaces& add) {
        for (FaceEntry& face : add.faces) {
            Bring(face);
        }
    }
    void operator()(ReplaceFace& replace) {
        Name(replace.oldText);
        Bring(replace.face);
    }
    void operator()(MoveFaces& move) {
        for (std::string& text : move.texts) {
            Name(text);
        }
        Bring(move.folder);
    }
    void operator()(RemoveFaces& remove) {
        for (std::string& text : remove.texts) {
            Name(text);
        }
    }
    void operator()(ConvertLibraryToUtf8&) {}
    void operator()(ImportFaces&) {}  // its lines stay UTF-8 until they are applied
    void operator()(MergeChanges&) {}  // it carries its encoding and converts as it applies

private:
    void Name(std::string& text) {
        EncodeResult converted = m_to.FromUtf8(m_from.ToUtf8(text));
        // An empty text names no record.
        text = m_from.IsValid(text) && converted.Ok() ? std::move(converted.bytes) : std::string();
    }
    void Bring(std::string& text) {
        if (m_blocking) {
            return;
        }
        EncodeResult converted = m_to.FromUtf8(m_from.ToUtf8(text));
        if (!m_from.IsValid(text) || !converted.Ok()) {
            m_blocking = text;
            return;
        }
        text = std::move(converted.bytes);
    }
    void Bring(FaceEntry& face) {
        if (m_blocking) {
            return;
        }
        const std::string text = face.text;
        Bring(face.text);
        Bring(face.folder);
        if (m_blocking) {
            m_blocking = text;  // the emoticon is named, whichever of its parts is in the way
        }
    }

    Charset m_from;
    Charset m_to;
    std::optional<std::string> m_blocking;
};

}  // namespace

EditOutcome ApplyEdit(CFaceLibrary& library, const LibraryEdit& edit, Charset madeIn) {
    if (madeIn == library.GetCharset()) {
        return ApplyEdit(library, edit);
    }
    CEditConverter converter(madeIn, library.GetCharset());
    const std::optional<LibraryEdit> converted = converter.Convert(edit);
    if (!converted) {
        EditOutcome outcome;
        outcome.waiting = converter.Blocking();
        return outcome;
    }
    return ApplyEdit(library, *converted);
}

EditOutcome ApplyEdit(CFaceLibrary& library, const LibraryEdit& edit) {
    CEditApplier applier(library);
    std::visit(applier, edit);
    applier.DropRefilled();
    return applier.Take();
}

}  // namespace mopira
