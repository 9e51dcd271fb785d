#include "core/library/FaceLibrary.h"

#include <algorithm>
#include <functional>

#include "core/library/TextQuery.h"
#include "core/text/Charset.h"
#include "core/text/LineReader.h"
#include "core/text/TextSort.h"

namespace mopira {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

}  // namespace

const std::string& CFaceLibrary::UnfiledFolderName() {
    static const std::string name = Charset::FromUtf8Literal("未分類");
    return name;
}

std::size_t CFaceLibrary::StringHash::operator()(std::string_view text) const {
    return std::hash<std::string_view>{}(text);
}

void CFaceLibrary::Clear() {
    m_texts.clear();
    m_folderOf.clear();
    m_size = 0;
    m_textIndex.Clear();
    m_folders.clear();
    m_folderIndex.clear();
    m_byText.clear();
    m_byTextValid = false;
    m_byTextHasRemoved = false;
    m_rankValid = false;
}

void CFaceLibrary::LoadFaceList(std::string_view bytes) {
    Clear();
    // A record takes three lines; sizing the containers once keeps a large file from
    // reallocating and rehashing while it loads.
    const std::size_t records =
        static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) / 3 + 1;
    m_texts.reserve(records);
    m_folderOf.reserve(records);
    m_textIndex.Reserve(records);

    CLineReader reader(bytes);
    std::string_view text;
    std::string_view folder;
    while (reader.Next(text)) {
        if (text.empty()) {
            continue;
        }
        const bool hasFolderLine = reader.Next(folder);
        const auto id = static_cast<RecordId>(m_texts.size());
        m_texts.emplace_back(text);
        if (!m_textIndex.Insert(id)) {
            m_texts.pop_back();  // a repeated text: the first one stays
            continue;
        }
        const FolderIndex folderIndex =
            InternFolder(hasFolderLine && !folder.empty() ? folder : UnfiledFolderName());
        m_folderOf.push_back(folderIndex);
        ++m_folders[folderIndex].count;
        ++m_size;
    }
}

std::string CFaceLibrary::SaveFaceList() const {
    std::size_t total = 0;
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
    constexpr std::size_t kPiece = 64 * 1024;
    std::string piece;
    piece.reserve(kPiece);
    bool writing = true;
    for (RecordId id = 0; writing && id < m_folderOf.size(); ++id) {
        if (m_folderOf[id] == kRemoved) {
            continue;
        }
        const std::string& text = m_texts[id];
        const std::string& folder = m_folders[m_folderOf[id]].name;
        if (piece.size() + text.size() + folder.size() + 3 * kLineEnd.size() > kPiece &&
            !piece.empty()) {
            writing = sink(piece);
            piece.clear();
        }
        piece += text;
        piece += kLineEnd;
        piece += folder;
        piece += kLineEnd;
        piece += kLineEnd;
    }
    if (writing && !piece.empty()) {
        sink(piece);
    }
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

std::optional<RecordId> CFaceLibrary::AppendRecord(std::string text, std::string_view folder) {
    if (text.empty() || folder.empty()) {
        return std::nullopt;
    }
    const auto id = static_cast<RecordId>(m_texts.size());
    m_texts.push_back(std::move(text));
    if (!m_textIndex.Insert(id)) {
        m_texts.pop_back();
        return std::nullopt;
    }
    const FolderIndex folderIndex = InternFolder(folder);
    m_folderOf.push_back(folderIndex);
    ++m_folders[folderIndex].count;
    ++m_size;
    InsertSorted(id);
    return id;
}

bool CFaceLibrary::ReplaceRecord(std::string_view oldText, std::string newText,
                                 std::string_view newFolder) {
    const auto id = FindRecord(oldText);
    if (!id || newText.empty() || newFolder.empty()) {
        return false;
    }
    const auto clash = FindRecord(newText);
    if (clash && *clash != *id) {
        return false;
    }
    if (newText != m_texts[*id]) {
        // The index and the order hold the stored text, so the record leaves both first.
        EraseSorted(*id);
        m_textIndex.Erase(*id);
        m_texts[*id] = std::move(newText);
        m_textIndex.Insert(*id);
        InsertSorted(*id);
    }
    return SetRecordFolder(m_texts[*id], newFolder);
}

bool CFaceLibrary::SetRecordFolder(std::string_view text, std::string_view folder) {
    const auto id = FindRecord(text);
    if (!id || folder.empty()) {
        return false;
    }
    --m_folders[m_folderOf[*id]].count;
    m_folderOf[*id] = InternFolder(folder);
    ++m_folders[m_folderOf[*id]].count;
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
        if (!IsLive(id) || m_folderOf[id] == target) {
            continue;
        }
        FolderEntry& old = m_folders[m_folderOf[id]];
        if (--old.count == 0) {
            emptied.push_back(old.name);
        }
        m_folderOf[id] = target;
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
    --m_folders[m_folderOf[*id]].count;
    m_folderOf[*id] = kRemoved;
    m_byTextHasRemoved = m_byTextValid;
    std::string().swap(m_texts[*id]);
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
        SortByText(m_byText, [this](RecordId id) -> std::string_view { return m_texts[id]; });
        m_byTextValid = true;
        m_rankValid = false;
    } else if (m_byTextHasRemoved) {
        m_rankValid = false;
        std::erase_if(m_byText, [this](RecordId id) { return !IsLive(id); });
    }
    m_byTextHasRemoved = false;
    return m_byText;
}

void CFaceLibrary::InsertSorted(RecordId id) const {
    if (!m_byTextValid) {
        return;
    }
    RecordsByText();
    const auto at = std::lower_bound(m_byText.begin(), m_byText.end(), m_texts[id],
                                     [this](RecordId other, const std::string& text) {
                                         return Charset::Compare(m_texts[other], text) < 0;
                                     });
    m_byText.insert(at, id);
    m_rankValid = false;
}

void CFaceLibrary::EraseSorted(RecordId id) const {
    if (!m_byTextValid) {
        return;
    }
    // Removed records still standing in the order would break the binary search.
    RecordsByText();
    const auto at = std::lower_bound(m_byText.begin(), m_byText.end(), m_texts[id],
                                     [this](RecordId other, const std::string& text) {
                                         return Charset::Compare(m_texts[other], text) < 0;
                                     });
    if (at != m_byText.end() && *at == id) {
        m_byText.erase(at);
        m_rankValid = false;
    }
}

std::vector<RecordId> CFaceLibrary::SearchByText(std::string_view query, Order order) const {
    const std::vector<std::string_view> tokens = SplitQuery(query);
    if (tokens.empty()) {
        return order == Order::Text ? RecordsByText() : Records();
    }
    std::vector<RecordId> found;
    ForEachRecord([&](RecordId id) {
        if (MatchesAllTokens(m_texts[id], tokens)) {
            found.push_back(id);
        }
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
    for (RecordId id = 0; id < m_folderOf.size(); ++id) {
        if (m_folderOf[id] == index->second) {
            found.push_back(id);
        }
    }
    if (order == Order::Text) {
        OrderByText(found);
    }
    return found;
}

void CFaceLibrary::OrderByText(std::vector<RecordId>& ids) const {
    const std::vector<RecordId>& byText = RecordsByText();
    if (!m_rankValid) {
        m_rankOf.assign(m_texts.size(), 0);
        for (std::size_t rank = 0; rank < byText.size(); ++rank) {
            m_rankOf[byText[rank]] = static_cast<std::uint32_t>(rank);
        }
        m_rankValid = true;
    }
    std::sort(ids.begin(), ids.end(),
              [this](RecordId a, RecordId b) { return m_rankOf[a] < m_rankOf[b]; });
}

}  // namespace mopira
