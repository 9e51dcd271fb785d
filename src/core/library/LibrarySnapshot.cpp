#include "core/library/LibrarySnapshot.h"

#include "core/library/FaceListWriter.h"

namespace mopira {

void CLibrarySnapshot::WriteFaceList(const std::function<bool(std::string_view)>& sink) const {
    detail::WriteFaceListRecords(
        m_charset, m_records.size(),
        [this](std::size_t i) { return m_texts.View(m_records[i].text); },
        [this](std::size_t i) -> std::string_view { return m_folders[m_records[i].folder]; }, sink);
}

}  // namespace mopira
