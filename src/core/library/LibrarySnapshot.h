#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/library/TextStore.h"
#include "core/text/Charset.h"

namespace mopira {

// A library's records as they were when it was taken, with the bytes of their texts shared
// rather than copied: what a save writes, safe to read on another thread while the library
// itself goes on changing.
class CLibrarySnapshot {
public:
    CLibrarySnapshot() = default;

    // The FaceList.dat bytes, as CFaceLibrary::WriteFaceList gives them.
    void WriteFaceList(const std::function<bool(std::string_view)>& sink) const;
    // The number of records it writes, and their encoding.
    std::size_t Size() const { return m_size; }
    Charset GetCharset() const { return m_charset; }
    // Calls `visit(text)` for every record's text, in library order.
    template <class Visitor>
    void ForEachText(Visitor visit) const {
        if (!m_records) {
            return;
        }
        for (const StoredRecord& record : *m_records) {
            if (record.folder != StoredRecord::kRemoved) {
                visit(m_texts.View(record.text));
            }
        }
    }

private:
    friend class CFaceLibrary;
    Charset m_charset;
    CTextStore::Shared m_texts;
    // Shared with the library until it next changes (it copies them then).
    std::shared_ptr<const std::vector<StoredRecord>> m_records;
    std::size_t m_size = 0;
    std::vector<std::string> m_folders;
};

}  // namespace mopira
