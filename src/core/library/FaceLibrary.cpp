#include "core/library/FaceLibrary.h"

#include <algorithm>
#include <functional>
#include <numeric>

#include "core/library/FaceListWriter.h"
#include "core/library/LibrarySnapshot.h"
#include "core/library/TextQuery.h"
#include "core/text/Charset.h"
#include "core/text/LineReader.h"
#include "core/text/TextSort.h"

namespace mopira {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

}  // namespace

const std::string& CFaceLibrary::UnfiledFolderName(Charset charset) {
    static const std::string cp932 = Cp932::FromUtf8Literal("未分類");
    static const std::string utf8 = Utf8::FromUtf8Literal("未分類");
    return charset.GetEncoding() == Encoding::Utf8 ? utf8 : cp932;
}

CFaceLibrary::CFaceLibrary() : m_textIndex(&CFaceLibrary::TextOf, this) {}

std::string_view CFaceLibrary::TextOf(const void* library, std::uint32_t id) {
    return static_cast<const CFaceLibrary*>(library)->Text(id);
}

void CFaceLibrary::Swap(CFaceLibrary& other) noexcept {
    std::swap(m_charset, other.m_charset);
    m_store.Swap(other.m_store);
    m_records.swap(other.m_records);
    std::swap(m_size, other.m_size);
    m_textIndex.SwapTable(other.m_textIndex);
    m_folders.swap(other.m_folders);
    m_folderIndex.swap(other.m_folderIndex);
    m_byText.swap(other.m_byText);
    std::swap(m_byTextValid, other.m_byTextValid);
    std::swap(m_byTextHasRemoved, other.m_byTextHasRemoved);
    m_byTextWaiting.swap(other.m_byTextWaiting);
    m_rankOf.swap(other.m_rankOf);
    std::swap(m_rankValid, other.m_rankValid);
    std::swap(m_nSnapshotsOut, other.m_nSnapshotsOut);
}

std::vector<StoredRecord>& CFaceLibrary::WritableRecords() {
    // Whether another thread still reads the records is known from the snapshots handed back,
    // never from the pointer's use count, which orders nothing between threads.
    if (m_nSnapshotsOut > 0) {
        m_records = std::make_shared<std::vector<StoredRecord>>(*m_records);
        m_nSnapshotsOut = 0;
    }
    return *m_records;
}

bool CFaceLibrary::AddToIndex(TextRef text) {
    std::vector<StoredRecord>& records = WritableRecords();
    const auto id = static_cast<RecordId>(records.size());
    records.push_back({text, kRemoved});
    if (!m_textIndex.Insert(id)) {
        records.pop_back();
        return false;
    }
    return true;
}

std::size_t CFaceLibrary::StringHash::operator()(std::string_view text) const {
    return std::hash<std::string_view>{}(text);
}

void CFaceLibrary::Clear() {
    m_store.Clear();
    m_records = std::make_shared<std::vector<StoredRecord>>();
    m_nSnapshotsOut = 0;
    m_size = 0;
    m_textIndex.Clear();
    m_folders.clear();
    m_folderIndex.clear();
    m_byText.clear();
    m_byTextValid = false;
    m_byTextHasRemoved = false;
    m_byTextWaiting.clear();
    m_rankValid = false;
}

void CFaceLibrary::LoadFaceList(std::string_view bytes) {
    AdoptFaceList(std::string(bytes));
}

void CFaceLibrary::AdoptFaceList(std::string file) {
    Clear();
    const std::uint32_t block = m_store.Adopt(std::move(file));
    const std::string_view whole = m_store.Block(block);
    std::string_view bytes = whole;
    m_charset = Charset::TakeFileMark(bytes);
    const std::string& unfiled = UnfiledFolderName(m_charset);
    // A record takes three lines; sizing the containers once keeps a large file from
    // reallocating and rehashing while it loads.
    const std::size_t records =
        static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) / 3 + 1;
    m_records->reserve(records);
    m_textIndex.Reserve(records);

    CLineReader reader(bytes);
    std::string_view text;
    std::string_view folder;
    while (reader.Next(text)) {
        if (text.empty()) {
            continue;
        }
        const bool hasFolderLine = reader.Next(folder);
        // The text stays where it lies in the file; a repeated one is dropped (the first
        // one wins).
        if (!AddToIndex(m_store.Ref(block, static_cast<std::size_t>(text.data() - whole.data()),
                                    text.size()))) {
            continue;
        }
        const FolderIndex folderIndex =
            InternFolder(hasFolderLine && !folder.empty() ? folder : unfiled);
        m_records->back().folder = folderIndex;
        ++m_folders[folderIndex].count;
        ++m_size;
    }
}

std::string CFaceLibrary::SaveFaceList() const {
    std::size_t total = m_charset.FileMark().size() + kLineEnd.size();
    ForEachRecord(
        [&](RecordId id) { total += Text(id).size() + Folder(id).size() + 3 * kLineEnd.size(); });
    std::string bytes;
    bytes.reserve(total);
    WriteFaceList([&bytes](std::string_view piece) {
        bytes += piece;
        return true;
    });
    return bytes;
}

void CFaceLibrary::WriteFaceList(const std::function<bool(std::string_view)>& sink) const {
    std::vector<RecordId> live;
    live.reserve(m_size);
    ForEachRecord([&](RecordId id) { live.push_back(id); });
    detail::WriteFaceListRecords(
        m_charset, live.size(), [&](std::size_t i) { return Text(live[i]); },
        [&](std::size_t i) -> std::string_view { return Folder(live[i]); }, sink);
}

CLibrarySnapshot CFaceLibrary::Snapshot() const {
    CLibrarySnapshot snapshot;
    snapshot.m_charset = m_charset;
    snapshot.m_texts = m_store.Share();
    // The records are shared, not copied: the library copies them before its next change
    // unless the snapshot comes back first.
    snapshot.m_records = m_records;
    ++m_nSnapshotsOut;
    snapshot.m_size = m_size;
    snapshot.m_folders.reserve(m_folders.size());
    for (const FolderEntry& folder : m_folders) {
        snapshot.m_folders.push_back(folder.name);
    }
    return snapshot;
}

void CFaceLibrary::ReturnSnapshot(CLibrarySnapshot&& snapshot) const {
    if (snapshot.m_records == m_records && m_nSnapshotsOut > 0) {
        --m_nSnapshotsOut;
    }
    snapshot = CLibrarySnapshot();
}

std::vector<ConversionRefusal> CFaceLibrary::ConvertToUtf8() {
    std::vector<ConversionRefusal> refused;
    if (m_charset.GetEncoding() == Encoding::Utf8) {
        return refused;
    }
    // Folders emptied by earlier changes are no folders any more, and are left behind.
    std::vector<std::string> folders(m_folders.size());
    std::vector<std::optional<ConversionProblem>> folderProblem(m_folders.size());
    std::unordered_map<std::string_view, FolderIndex> folderOf;
    for (FolderIndex index = 0; index < m_folders.size(); ++index) {
        const std::string& name = m_folders[index].name;
        if (m_folders[index].count == 0) {
            continue;
        }
        if (!Cp932::IsValid(name)) {
            folderProblem[index] = ConversionProblem::InvalidFolder;
            continue;
        }
        folders[index] = Cp932::ToUtf8(name);
        const auto [first, inserted] = folderOf.emplace(folders[index], index);
        if (!inserted) {
            folderProblem[first->second] = folderProblem[index] = ConversionProblem::SameFolder;
        }
    }
    std::vector<std::string> texts(m_records->size());
    std::vector<std::optional<ConversionProblem>> textProblem(m_records->size());
    std::unordered_map<std::string_view, RecordId> textOf;
    textOf.reserve(m_size);
    ForEachRecord([&](RecordId id) {
        if (!Cp932::IsValid(Text(id))) {
            textProblem[id] = ConversionProblem::InvalidText;
            return;
        }
        texts[id] = Cp932::ToUtf8(Text(id));
        const auto [first, inserted] = textOf.emplace(texts[id], id);
        if (!inserted) {
            textProblem[first->second] = textProblem[id] = ConversionProblem::SameText;
        }
    });
    ForEachRecord([&](RecordId id) {
        if (textProblem[id]) {
            refused.push_back({id, *textProblem[id]});
        }
        if (folderProblem[(*m_records)[id].folder]) {
            refused.push_back({id, *folderProblem[(*m_records)[id].folder]});
        }
    });
    if (!refused.empty()) {
        return refused;
    }

    std::vector<FolderEntry> kept;
    std::vector<FolderIndex> renumbered(m_folders.size(), kRemoved);
    for (FolderIndex index = 0; index < m_folders.size(); ++index) {
        if (m_folders[index].count > 0) {
            renumbered[index] = static_cast<FolderIndex>(kept.size());
            kept.push_back({std::move(folders[index]), m_folders[index].count});
        }
    }
    m_folders = std::move(kept);
    CTextStore converted;
    ForEachRecord([&](RecordId id) {
        StoredRecord& record = WritableRecords()[id];
        record.text = converted.Add(texts[id]);
        record.folder = renumbered[record.folder];
    });
    m_store.Swap(converted);
    m_charset = Charset(Encoding::Utf8);
    Reindex();
    return refused;
}

void CFaceLibrary::Reindex() {
    m_textIndex.Clear();
    m_textIndex.Reserve(m_size);
    ForEachRecord([&](RecordId id) { m_textIndex.Insert(id); });
    m_folderIndex.clear();
    for (FolderIndex index = 0; index < m_folders.size(); ++index) {
        m_folderIndex.emplace(m_folders[index].name, index);
    }
    // Code point order is not CP932's order.
    m_byText.clear();
    m_byTextValid = false;
    m_byTextHasRemoved = false;
    m_byTextWaiting.clear();
    m_rankValid = false;
}

void CFaceLibrary::Reserve(std::size_t records) {
    WritableRecords().reserve(records);
    m_textIndex.Reserve(records);
}

std::optional<RecordId> CFaceLibrary::FindRecord(std::string_view text) const {
    return m_textIndex.Find(text);
}

CFaceLibrary::FolderIndex CFaceLibrary::InternFolder(std::string_view name) {
    const auto found = m_folderIndex.find(name);
    if (found != m_folderIndex.end()) {
        return found->second;
    }
    const auto index = static_cast<FolderIndex>(m_folders.size());
    m_folders.push_back(FolderEntry{std::string(name), 0});
    m_folderIndex.emplace(std::string(name), index);
    return index;
}

std::optional<RecordId> CFaceLibrary::AppendRecord(std::string_view text, std::string_view folder) {
    if (text.empty() || folder.empty() || FindRecord(text)) {
        return std::nullopt;
    }
    const auto id = static_cast<RecordId>(m_records->size());
    AddToIndex(m_store.Add(text));
    const FolderIndex folderIndex = InternFolder(folder);
    WritableRecords()[id].folder = folderIndex;
    ++m_folders[folderIndex].count;
    ++m_size;
    InsertSorted(id);
    return id;
}

bool CFaceLibrary::ReplaceRecord(std::string_view oldText, std::string_view newText,
                                 std::string_view newFolder) {
    const auto id = FindRecord(oldText);
    if (!id || newText.empty() || newFolder.empty()) {
        return false;
    }
    const auto clash = FindRecord(newText);
    if (clash && *clash != *id) {
        return false;
    }
    if (newText != Text(*id)) {
        // The index and the order hold the stored text, so the record leaves both first.
        EraseSorted(*id);
        m_textIndex.Erase(*id);
        WritableRecords()[*id].text = m_store.Add(newText);
        m_textIndex.Insert(*id);
        InsertSorted(*id);
    }
    return SetRecordFolder(Text(*id), newFolder);
}

bool CFaceLibrary::SetRecordFolder(std::string_view text, std::string_view folder) {
    const auto id = FindRecord(text);
    if (!id || folder.empty()) {
        return false;
    }
    StoredRecord& record = WritableRecords()[*id];
    --m_folders[record.folder].count;
    record.folder = InternFolder(folder);
    ++m_folders[record.folder].count;
    return true;
}

std::vector<std::string> CFaceLibrary::MoveRecords(std::span<const RecordId> ids,
                                                   std::string_view folder) {
    std::vector<std::string> emptied;
    if (folder.empty()) {
        return emptied;
    }
    const FolderIndex target = InternFolder(folder);
    for (RecordId id : ids) {
        if (!IsLive(id) || (*m_records)[id].folder == target) {
            continue;
        }
        FolderEntry& old = m_folders[(*m_records)[id].folder];
        if (--old.count == 0) {
            emptied.push_back(old.name);
        }
        WritableRecords()[id].folder = target;
        ++m_folders[target].count;
    }
    return emptied;
}

bool CFaceLibrary::RemoveRecord(std::string_view text) {
    const auto id = FindRecord(text);
    if (!id) {
        return false;
    }
    m_textIndex.Erase(*id);
    --m_folders[(*m_records)[*id].folder].count;
    WritableRecords()[*id].folder = kRemoved;
    m_byTextHasRemoved = m_byTextValid;
    --m_size;
    return true;
}

int CFaceLibrary::CountFacesInFolder(std::string_view folder) const {
    const auto found = m_folderIndex.find(folder);
    return found == m_folderIndex.end() ? 0 : m_folders[found->second].count;
}

std::vector<std::string> CFaceLibrary::FolderNames() const {
    std::vector<std::string> names;
    for (const FolderEntry& folder : m_folders) {
        if (folder.count > 0) {
            names.push_back(folder.name);
        }
    }
    return names;
}

std::vector<RecordId> CFaceLibrary::Records() const {
    std::vector<RecordId> ids;
    ids.reserve(m_size);
    ForEachRecord([&](RecordId id) { ids.push_back(id); });
    return ids;
}

const std::vector<RecordId>& CFaceLibrary::RecordsByText() const {
    if (!m_byTextValid) {
        m_byText = Records();
        SortByText(
            m_byText, [this](RecordId id) -> std::string_view { return Text(id); }, m_charset);
        m_byTextValid = true;
        m_rankValid = false;
        m_byTextHasRemoved = false;
        return m_byText;
    }
    if (m_byTextHasRemoved) {
        m_rankValid = false;
        std::erase_if(m_byText, [this](RecordId id) { return !IsLive(id); });
        std::erase_if(m_byTextWaiting, [this](RecordId id) { return !IsLive(id); });
        m_byTextHasRemoved = false;
    }
    if (!m_byTextWaiting.empty()) {
        m_rankValid = false;
        SortByText(
            m_byTextWaiting, [this](RecordId id) -> std::string_view { return Text(id); },
            m_charset);
        const auto joined = static_cast<std::ptrdiff_t>(m_byText.size());
        m_byText.insert(m_byText.end(), m_byTextWaiting.begin(), m_byTextWaiting.end());
        m_byTextWaiting.clear();
        std::inplace_merge(
            m_byText.begin(), m_byText.begin() + joined, m_byText.end(),
            [this](RecordId a, RecordId b) { return m_charset.Compare(Text(a), Text(b)) < 0; });
    }
    return m_byText;
}

void CFaceLibrary::InsertSorted(RecordId id) const {
    if (!m_byTextValid) {
        return;
    }
    // Each insert would move the whole order: a large import or merge waits until the order
    // is read again and joins it in one pass.
    m_byTextWaiting.push_back(id);
    m_rankValid = false;
}

void CFaceLibrary::EraseSorted(RecordId id) const {
    if (!m_byTextValid) {
        return;
    }
    // Removed records still standing in the order would break the binary search.
    RecordsByText();
    const auto at = std::lower_bound(m_byText.begin(), m_byText.end(), Text(id),
                                     [this](RecordId other, std::string_view text) {
                                         return m_charset.Compare(Text(other), text) < 0;
                                     });
    if (at != m_byText.end() && *at == id) {
        m_byText.erase(at);
        m_rankValid = false;
    }
}

std::vector<RecordId> CFaceLibrary::SearchByText(std::string_view query, Order order) const {
    if (SplitQuery(query).empty()) {
        return order == Order::Text ? RecordsByText() : Records();
    }
    std::vector<RecordId> found;
    m_charset.Visit([&](auto rules) {
        const CQueryMatcher<decltype(rules)> matcher(query);
        ForEachRecord([&](RecordId id) {
            if (matcher.Matches(Text(id))) {
                found.push_back(id);
            }
        });
    });
    if (order == Order::Text) {
        OrderByText(found);
    }
    return found;
}

std::vector<RecordId> CFaceLibrary::RecordsInFolder(std::string_view folder, Order order) const {
    if (folder.empty()) {
        return order == Order::Text ? RecordsByText() : Records();
    }
    std::vector<RecordId> found;
    const auto index = m_folderIndex.find(folder);
    if (index == m_folderIndex.end()) {
        return found;
    }
    found.reserve(static_cast<std::size_t>(m_folders[index->second].count));
    const std::vector<StoredRecord>& records = *m_records;
    for (RecordId id = 0; id < records.size(); ++id) {
        if (records[id].folder == index->second) {
            found.push_back(id);
        }
    }
    if (order == Order::Text) {
        OrderByText(found);
    }
    return found;
}

const std::vector<std::uint32_t>& CFaceLibrary::TextRanks() const {
    const std::vector<RecordId>& byText = RecordsByText();
    if (!m_rankValid) {
        m_rankOf.assign(m_records->size(), 0);
        for (std::size_t rank = 0; rank < byText.size(); ++rank) {
            m_rankOf[byText[rank]] = static_cast<std::uint32_t>(rank);
        }
        m_rankValid = true;
    }
    return m_rankOf;
}

void CFaceLibrary::OrderByText(std::vector<RecordId>& ids) const {
    const std::vector<std::uint32_t>& rankOf = TextRanks();
    const std::vector<RecordId>& byText = RecordsByText();
    // Many ids: one walk along the order by text beats comparing them, and a million
    // records take milliseconds rather than most of a second.
    if (ids.size() > byText.size() / 16) {
        std::vector<bool> wanted(byText.size());
        for (RecordId id : ids) {
            wanted[rankOf[id]] = true;
        }
        ids.clear();
        for (std::size_t rank = 0; rank < byText.size(); ++rank) {
            if (wanted[rank]) {
                ids.push_back(byText[rank]);
            }
        }
        return;
    }
    std::sort(ids.begin(), ids.end(),
              [&rankOf](RecordId a, RecordId b) { return rankOf[a] < rankOf[b]; });
}

void CFaceLibrary::SortRecordsByText(std::vector<RecordId>& ids, bool ascending) const {
    OrderByText(ids);
    if (!ascending) {
        std::reverse(ids.begin(), ids.end());
    }
}

void CFaceLibrary::SortRecordsByFolder(std::vector<RecordId>& ids, bool ascending) const {
    // A few folders hold many records: order the folders, then deal the records out to them
    // in one stable pass.
    std::vector<FolderIndex> folders(m_folders.size());
    std::iota(folders.begin(), folders.end(), FolderIndex{0});
    SortByText(
        folders, [this](FolderIndex folder) -> std::string_view { return m_folders[folder].name; },
        m_charset, ascending);
    std::vector<std::size_t> start(m_folders.size() + 1, 0);
    std::vector<std::size_t> place(m_folders.size());
    for (std::size_t k = 0; k < folders.size(); ++k) {
        place[folders[k]] = k;
    }
    const std::vector<StoredRecord>& records = *m_records;
    for (RecordId id : ids) {
        ++start[place[records[id].folder] + 1];
    }
    std::partial_sum(start.begin(), start.end(), start.begin());
    std::vector<RecordId> sorted(ids.size());
    for (RecordId id : ids) {
        sorted[start[place[records[id].folder]]++] = id;
    }
    ids.swap(sorted);
}

}  // namespace mopira
