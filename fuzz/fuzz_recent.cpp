// Recent.dat: any bytes read as a list within its capacity, of texts a line can give back;
// written and read again it is the same list; converting it to the other encoding and back
// never lists a text twice.
#include <cstddef>
#include <cstdint>
#include <set>
#include <string_view>

#include "FuzzCheck.h"
#include "core/library/RecentList.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using mopira::CRecentList;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    CRecentList list = CRecentList::Read(bytes);
    FUZZ_CHECK(list.Texts().size() <= CRecentList::kCapacity);
    FUZZ_CHECK(CRecentList::Read(list.Write()) == list);
    for (const std::string& text : list.Texts()) {
        FUZZ_CHECK(!text.empty() && text.find('\n') == std::string::npos && text.back() != '\r');
    }

    const mopira::Charset original = list.GetCharset();
    list.ConvertTo(mopira::Charset(original.GetEncoding() == mopira::Encoding::Utf8
                                       ? mopira::Encoding::Cp932
                                       : mopira::Encoding::Utf8));
    list.ConvertTo(original);
    const std::set<std::string> distinct(list.Texts().begin(), list.Texts().end());
    FUZZ_CHECK(distinct.size() == list.Texts().size());
    FUZZ_CHECK(CRecentList::Read(list.Write()) == list);
    return 0;
}
