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

const std::string& CFaceLibrary::UnfiledFolderName(Charset charset) {
    static const std::string cp932 = Cp932::FromUtf8Literal("未分類");
    static const std::string utf8 = Utf8::FromUtf8Literal("未分類");
    return charset.GetEncoding() == Encoding::Utf8 ? utf8 : cp932;
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
    m_charset = Charset::TakeFileMark(bytes);
    const std::string& unfiled = UnfiledFolderName(m_charset);
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
            InternFolder(hasFolderLine && !folder.empty() ? folder : unfiled);
        m_folderOf.push_back(folderIndex);
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
    constexpr std::size_t kPiece = 64 * 1024;
    std::string piece;
    piece.reserve(kPiece);
    piece += m_charset.FileMark();
    bool writing = true;
    bool first = true;
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
        // A CP932 file whose first text starts with the bytes of the UTF-8 mark would read
        // back as UTF-8; a blank line first, which loading skips, keeps it CP932.
        if (first && m_charset.GetEncoding() == Encoding::Cp932 &&
            std::string_view(text).starts_with(Charset(Encoding::Utf8).FileMark())) {
            piece += kLineEnd;
        }
        first = false;
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
    std::vector<std::string> texts(m_texts.size());
    std::vector<std::optional<ConversionProblem>> textProblem(m_texts.size());
    std::unordered_map<std::string_view, RecordId> textOf;
    textOf.reserve(m_size);
    ForEachRecord([&](RecordId id) {
        if (!Cp932::IsValid(m_texts[id])) {
            textProblem[id] = ConversionProblem::InvalidText;
            return;
        }
        texts[id] = Cp932::ToUtf8(m_texts[id]);
        const auto [first, inserted] = textOf.emplace(texts[id], id);
        if (!inserted) {
            textProblem[first->second] = textProblem[id] = ConversionProblem::SameText;
        }
    });
    ForEachRecord([&](RecordId id) {
        if (textProblem[id]) {
            refused.push_back({id, *textProblem[id]});
        }
        if (folderProblem[m_folderOf[id]]) {
            refused.push_back({id, *folderProblem[m_folderOf[id]]});
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
    ForEachRecord([&](RecordId id) {
        m_texts[id] = std::move(texts[id]);
        m_folderOf[id] = renumbered[m_folderOf[id]];
    });
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
    m_rankValid = false;
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
        SortByText(
            m_byText, [this](RecordId id) -> std::string_view { return m_texts[id]; }, m_charset);
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
                                         return m_charset.Compare(m_texts[other], text) < 0;
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
                                         return m_charset.Compare(m_texts[other], text) < 0;
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
            if (matcher.Matches(m_texts[id])) {
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
