#include "core/library/LibrarySnapshot.h"

#include "core/library/FaceListWriter.h"

namespace mopira {

void CLibrarySnapshot::WriteFaceList(const std::function<bool(std::string_view)>& sink) const {
    if (!m_records) {
        return;
    }
    std::vector<std::uint32_t> live;
    live.reserve(m_size);
    const std::vector<StoredRecord>& records = *m_records;
    for (std::uint32_t id = 0; id < records.size(); ++id) {
        if (records[id].folder != StoredRecord::kRemoved) {
            live.push_back(id);
        }
    }
    detail::WriteFaceListRecords(
        m_charset, live.size(), [&](std::size_t i) { return m_texts.View(records[live[i]].text); },
        [&](std::size_t i) -> std::string_view { return m_folders[records[live[i]].folder]; },
        sink);
}

}  // namespace mopira
