#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/library/TextIndex.h"
#include "core/library/TextStore.h"
#include "core/text/Charset.h"

namespace mopira {

class CLibrarySnapshot;

// Identifies a record for the life of the library: ids are never reused, and their order is
// the library order (the order of the file, new records at the end).
using RecordId = std::uint32_t;

// Why a record keeps a library from becoming UTF-8.
enum class ConversionProblem {
    InvalidText,    // its text holds bytes that are no CP932 character
    InvalidFolder,  // so does its folder's name
    SameText,       // its text reads as the same characters as another record's
    SameFolder,     // its folder's name reads as the same characters as another folder's
};

struct ConversionRefusal {
    RecordId id;
    ConversionProblem problem;
    bool operator==(const ConversionRefusal&) const = default;
};

// The user's emoticons, each filed in exactly one folder. Texts are unique (byte equality),
// never empty, and so are folder names. A folder exists only through its records. Texts and
// folder names are bytes in the library's encoding: CP932, or UTF-8 for a file that starts
// with the UTF-8 byte order mark.
//
// Finding a text, checking for a duplicate and counting a folder's records take constant
// time; the order by text is kept up to date once it has been asked for.
class CFaceLibrary {
public:
    // Folder given to a record whose folder line is empty or missing, so that no emoticon of
    // a hand-edited file is lost and the next save writes a well-formed file.
    static const std::string& UnfiledFolderName(Charset charset = Charset());

    CFaceLibrary();
    // The text index refers to the texts of this object, so it stays where it was made;
    // Swap trades contents between two of them.
    CFaceLibrary(const CFaceLibrary&) = delete;
    CFaceLibrary& operator=(const CFaceLibrary&) = delete;
    void Swap(CFaceLibrary& other) noexcept;

    // Replaces the content with the records of FaceList.dat bytes: blank lines are skipped,
    // a repeated text is dropped together with its folder line (the first one wins). The
    // UTF-8 byte order mark at the start makes the library UTF-8; else it is CP932.
    void LoadFaceList(std::string_view bytes);
    // The same from a file's bytes that the library keeps: its texts are used where they lie,
    // so a large file is neither copied nor cut into pieces.
    void AdoptFaceList(std::string bytes);
    // The FaceList.dat bytes of the library: the mark of a UTF-8 library, then text, folder
    // and an empty line per record, each ending in CR LF. An empty CP932 library is no bytes
    // at all, an empty UTF-8 library the mark alone. A CP932 file never starts with the mark.
    std::string SaveFaceList() const;
    // The same bytes, handed to `sink` in pieces of a few tens of kilobytes, so that a large
    // library is written without a second copy of it in memory. Stops when `sink` answers
    // false.
    void WriteFaceList(const std::function<bool(std::string_view)>& sink) const;
    // What WriteFaceList writes, as it is now, detached from the library: it can be written
    // on another thread while the library goes on changing. Taking one copies a few bytes per
    // record, never the texts: the records are shared until the snapshot is handed back, and
    // a change meanwhile copies them first.
    CLibrarySnapshot Snapshot() const;
    // Takes back a snapshot whose reader is done with it (its thread handed it over), so that
    // the next change need not copy the records. A snapshot never handed back costs only that
    // copy.
    void ReturnSnapshot(CLibrarySnapshot&& snapshot) const;

    // The encoding of the texts and folder names.
    Charset GetCharset() const { return m_charset; }
    // Makes a CP932 library UTF-8: every text and folder name is converted, ids, order and
    // folders stay. When a text or folder name holds bytes that are no CP932 character, or
    // two of them would read the same (CP932 gives some characters several codes), nothing
    // changes and the records concerned are returned, in library order. An empty result
    // means the library is UTF-8 now (or was already).
    std::vector<ConversionRefusal> ConvertToUtf8();

    std::size_t Size() const { return m_size; }
    bool Empty() const { return m_size == 0; }
    // Makes room for this many records, so that adding many does not grow the index by steps.
    void Reserve(std::size_t records);

    std::optional<RecordId> FindRecord(std::string_view text) const;
    bool IsLive(RecordId id) const {
        return id < m_records->size() && (*m_records)[id].folder != kRemoved;
    }
    std::string_view Text(RecordId id) const { return m_store.View((*m_records)[id].text); }
    const std::string& Folder(RecordId id) const { return m_folders[(*m_records)[id].folder].name; }

    // The changes below keep the invariants only with valid arguments, which the callers
    // check first (non-empty texts and folders, no duplicate text); a call that would break
    // them changes nothing and returns false or nullopt.
    std::optional<RecordId> AppendRecord(std::string_view text, std::string_view folder);
    bool ReplaceRecord(std::string_view oldText, std::string_view newText,
                       std::string_view newFolder);
    bool SetRecordFolder(std::string_view text, std::string_view folder);
    // Files every record of `ids` in `folder` (removed ids are skipped; nothing changes for an
    // empty folder). Returns the folders left without a record, in the order they emptied.
    std::vector<std::string> MoveRecords(std::span<const RecordId> ids, std::string_view folder);
    bool RemoveRecord(std::string_view text);

    int CountFacesInFolder(std::string_view folder) const;
    // Folders by number, for facts kept per folder rather than per record: a record's folder
    // number holds until the records change (a folder emptied keeps its number, unused).
    std::uint32_t FolderNumber(RecordId id) const { return (*m_records)[id].folder; }
    std::size_t FolderNumbers() const { return m_folders.size(); }
    const std::string& FolderName(std::uint32_t number) const { return m_folders[number].name; }
    // Distinct folder names of the records, in no particular order.
    std::vector<std::string> FolderNames() const;

    // Every record, in library order.
    std::vector<RecordId> Records() const;
    // Every record in ascending order of its text by character value. Built on first use,
    // then kept up to date: appended records, new texts and removed records take their
    // places the next time the order is asked for.
    const std::vector<RecordId>& RecordsByText() const;

    // What a list shows: in library order, or ascending by text as the face list has them.
    enum class Order { Library, Text };

    // The records whose text contains every space-separated token of `query`, each at a
    // character boundary; all records when the query has no token. Folder names are not
    // searched.
    std::vector<RecordId> SearchByText(std::string_view query, Order order = Order::Library) const;
    // The records of `folder` (exact bytes); every record for the empty name.
    std::vector<RecordId> RecordsInFolder(std::string_view folder, Order order) const;

    // Puts live records `ids` (no id twice) in the order of their texts, ascending or
    // descending, as a list sorted by its text column shows them.
    void SortRecordsByText(std::vector<RecordId>& ids, bool ascending) const;
    // Puts live records `ids` in the order of their folder names, ascending or descending;
    // the records of one folder keep their relative order.
    void SortRecordsByFolder(std::vector<RecordId>& ids, bool ascending) const;

    // Calls `visit(id)` for every record in library order.
    template <class Visitor>
    void ForEachRecord(Visitor visit) const {
        const std::vector<StoredRecord>& records = *m_records;
        for (RecordId id = 0; id < records.size(); ++id) {
            if (records[id].folder != kRemoved) {
                visit(id);
            }
        }
    }

private:
    using FolderIndex = std::uint32_t;
    static constexpr FolderIndex kRemoved = StoredRecord::kRemoved;

    struct FolderEntry {
        std::string name;
        int count = 0;
    };
    struct StringHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const;
    };

    void Clear();
    // Rebuilds the text index and the folder index after texts or folder names changed.
    void Reindex();
    FolderIndex InternFolder(std::string_view name);
    void InsertSorted(RecordId id) const;
    void EraseSorted(RecordId id) const;
    // Puts records into text order by their places in the order by text: the texts are read
    // once, front to back, and never compared again.
    void OrderByText(std::vector<RecordId>& ids) const;
    const std::vector<std::uint32_t>& TextRanks() const;

    // Appends record `text` to the records and the index; false, keeping nothing, when the
    // text is there already.
    bool AddToIndex(TextRef text);
    static std::string_view TextOf(const void* library, std::uint32_t id);

    Charset m_charset;
    // The records, for changing: copied first while a snapshot being written shares them.
    std::vector<StoredRecord>& WritableRecords();
    // Snapshots taken of the present records and not handed back yet.
    mutable int m_nSnapshotsOut = 0;

    CTextStore m_store;
    // Record i's text lies at (*m_records)[i].text; its folder is m_folders[...folder].
    std::shared_ptr<std::vector<StoredRecord>> m_records =
        std::make_shared<std::vector<StoredRecord>>();
    std::size_t m_size = 0;
    CTextIndex m_textIndex;
    // Every folder ever used, with its number of records; folders stay here when emptied.
    std::vector<FolderEntry> m_folders;
    std::unordered_map<std::string, FolderIndex, StringHash, std::equal_to<>> m_folderIndex;
    // Built on first use; empty and invalid until then. May hold removed records until the
    // next RecordsByText, so that removing many records costs one pass.
    mutable std::vector<RecordId> m_byText;
    mutable bool m_byTextValid = false;
    mutable bool m_byTextHasRemoved = false;
    // Records added to the order or given a new text since it was last read, which the next
    // RecordsByText sorts into it in one pass, so that adding many records costs one pass.
    mutable std::vector<RecordId> m_byTextWaiting;
    // Place of each record in m_byText; rebuilt from it when stale.
    mutable std::vector<std::uint32_t> m_rankOf;
    mutable bool m_rankValid = false;
};

}  // namespace mopira
