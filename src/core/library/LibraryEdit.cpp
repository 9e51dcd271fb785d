#include "core/library/LibraryEdit.h"

#include <algorithm>

namespace mopira {

namespace {

class CEditApplier {
public:
    explicit CEditApplier(CFaceLibrary& library) : m_library(library) {}

    EditOutcome operator()(const AddFaces& add) {
        for (const FaceEntry& face : add.faces) {
            File(face);
        }
        return std::move(m_outcome);
    }

    EditOutcome operator()(const ReplaceFace& replace) {
        const auto id = m_library.FindRecord(replace.oldText);
        if (!id) {
            m_outcome.missing.push_back(replace.oldText);
            File(replace.face);
            return std::move(m_outcome);
        }
        const auto clash = m_library.FindRecord(replace.face.text);
        if (clash && *clash != *id) {
            // Another record took the new text meanwhile: the two become that one.
            Remove(replace.oldText);
            File(replace.face);
            return std::move(m_outcome);
        }
        const std::string oldFolder = m_library.Folder(*id);
        const bool same =
            m_library.Text(*id) == replace.face.text && oldFolder == replace.face.folder;
        if (!same &&
            m_library.ReplaceRecord(replace.oldText, replace.face.text, replace.face.folder)) {
            m_outcome.changed = true;
            NoteIfEmptied(oldFolder);
        }
        return std::move(m_outcome);
    }

    EditOutcome operator()(const MoveFaces& move) {
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
        m_outcome.emptied = m_library.MoveRecords(ids, move.folder);
        m_outcome.changed = !ids.empty();
        return std::move(m_outcome);
    }

    EditOutcome operator()(const RemoveFaces& remove) {
        for (const std::string& text : remove.texts) {
            Remove(text);
        }
        return std::move(m_outcome);
    }

private:
    // Adds the entry, or files the record of that text in the entry's folder.
    void File(const FaceEntry& face) {
        if (face.text.empty() || face.folder.empty()) {
            return;
        }
        if (const auto id = m_library.FindRecord(face.text)) {
            const std::string oldFolder = m_library.Folder(*id);
            if (oldFolder != face.folder && m_library.SetRecordFolder(face.text, face.folder)) {
                m_outcome.changed = true;
                NoteIfEmptied(oldFolder);
            }
            return;
        }
        if (m_library.AppendRecord(face.text, face.folder)) {
            m_outcome.changed = true;
        }
    }

    void Remove(const std::string& text) {
        const auto id = m_library.FindRecord(text);
        if (!id) {
            return;
        }
        const std::string folder = m_library.Folder(*id);
        if (m_library.RemoveRecord(text)) {
            m_outcome.changed = true;
            NoteIfEmptied(folder);
        }
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
};

}  // namespace

EditOutcome ApplyEdit(CFaceLibrary& library, const LibraryEdit& edit) {
    EditOutcome outcome = std::visit(CEditApplier(library), edit);
    // A folder emptied early in a change may have been filed into again later in it.
    std::erase_if(outcome.emptied, [&](const std::string& folder) {
        return library.CountFacesInFolder(folder) > 0;
    });
    return outcome;
}

}  // namespace mopira
