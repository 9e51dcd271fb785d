#include "FloorData.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <numeric>

#include "core/text/LineReader.h"
#include "core/text/TextSort.h"

#if __has_include(<unistd.h>)
#include <fcntl.h>
#include <unistd.h>
#define MOPIRA_BENCH_POSIX 1
#endif

namespace mopira::bench {

std::string ReadFile(const std::string& path) {
    std::string bytes;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        std::error_code error;
        const auto size = std::filesystem::file_size(path, error);
        bytes.resize(error ? 0 : static_cast<std::size_t>(size));
        bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
        std::fclose(file);
    }
    return bytes;
}

std::vector<std::string_view> SplitLines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    CLineReader reader(bytes);
    std::string_view line;
    while (reader.Next(line)) {
        lines.push_back(line);
    }
    return lines;
}

std::vector<FloorRow> RowsByText(const std::vector<std::string_view>& lines) {
    // Records are sorted as four-byte numbers, as the program sorts its record ids.
    std::vector<std::uint32_t> records((lines.size() + 1) / 3);
    std::iota(records.begin(), records.end(), 0);
    SortByText(
        records, [&lines](std::uint32_t record) { return lines[3 * record]; }, Charset());
    std::vector<FloorRow> rows;
    rows.reserve(records.size());
    for (std::uint32_t record : records) {
        rows.push_back({lines[3 * record], lines[3 * record + 1]});
    }
    return rows;
}

bool WriteDurably(const std::string& path, std::string_view bytes) {
    const std::string temporary = path + ".floor";
#ifdef MOPIRA_BENCH_POSIX
    const int file = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (file < 0) {
        return false;
    }
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t step = ::write(file, bytes.data() + written, bytes.size() - written);
        if (step <= 0) {
            ::close(file);
            return false;
        }
        written += static_cast<std::size_t>(step);
    }
    const bool synced = ::fsync(file) == 0;
    if (::close(file) != 0 || !synced || std::rename(temporary.c_str(), path.c_str()) != 0) {
        return false;
    }
    const std::string folder = std::filesystem::path(path).parent_path().string();
    const int directory = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (directory < 0) {
        return false;
    }
    const bool durable = ::fsync(directory) == 0;
    ::close(directory);
    return durable;
#else
    // Elsewhere a rename is durable once the data is; the C library offers no flush to the
    // disk, so this floor is lower than the one above.
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) {
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !written) {
        return false;
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    return !error;
#endif
}

}  // namespace mopira::bench
