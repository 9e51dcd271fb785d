#include "core/library/ConflictCopyName.h"

#include <algorithm>
#include <cstddef>

namespace mopira {

namespace {

constexpr std::string_view kSyncthingTag = ".sync-conflict-";
constexpr std::string_view kConflictedCopy = "conflicted copy ";

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return Lower(x) == Lower(y); });
}

unsigned DaysInMonth(unsigned year, unsigned month) {
    constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

// The time `text` gives in the shape of `pattern`, whose letters stand for digits (Y year,
// M month, D day, h hour, m minute, s second) and whose other characters stand for themselves;
// as the number YYYYMMDDhhmmss, the fields the pattern lacks taken as 0.
std::optional<std::uint64_t> ReadTime(std::string_view text, std::string_view pattern) {
    if (text.size() != pattern.size()) {
        return std::nullopt;
    }
    unsigned year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        unsigned* field = nullptr;
        switch (pattern[i]) {
            case 'Y':
                field = &year;
                break;
            case 'M':
                field = &month;
                break;
            case 'D':
                field = &day;
                break;
            case 'h':
                field = &hour;
                break;
            case 'm':
                field = &minute;
                break;
            case 's':
                field = &second;
                break;
            default:
                if (text[i] != pattern[i]) {
                    return std::nullopt;
                }
                continue;
        }
        if (!IsDigit(text[i])) {
            return std::nullopt;
        }
        *field = *field * 10 + static_cast<unsigned>(text[i] - '0');
    }
    if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) || hour > 23 ||
        minute > 59 || second > 59) {
        return std::nullopt;
    }
    const std::uint64_t date = (year * 100ULL + month) * 100 + day;
    return date * 1'000'000 + (hour * 100ULL + minute) * 100 + second;
}

// Takes " (N)" from the end of `text`, the number a tool gives a name that was taken; 0 and
// `text` unchanged when it has none.
unsigned TakeNumber(std::string_view& text) {
    constexpr std::size_t kMostDigits = 6;
    if (!text.ends_with(')')) {
        return 0;
    }
    const std::size_t open = text.rfind(" (");
    if (open == std::string_view::npos) {
        return 0;
    }
    const std::string_view digits = text.substr(open + 2, text.size() - open - 3);
    if (digits.empty() || digits.size() > kMostDigits || digits.front() == '0' ||
        !std::all_of(digits.begin(), digits.end(), IsDigit)) {
        return 0;
    }
    unsigned number = 0;
    for (char c : digits) {
        number = number * 10 + static_cast<unsigned>(c - '0');
    }
    text = text.substr(0, open);
    return number;
}

// "20261208-153012-ABC1234": the time and the first characters of the device's id.
std::optional<ConflictCopy> ReadSyncthing(std::string_view tag) {
    constexpr std::string_view kTime = "YYYYMMDD-hhmmss";
    constexpr std::size_t kDeviceLength = 7;
    if (tag.size() != kTime.size() + 1 + kDeviceLength || tag[kTime.size()] != '-') {
        return std::nullopt;
    }
    const std::string_view device = tag.substr(kTime.size() + 1);
    if (!std::all_of(device.begin(), device.end(),
                     [](char c) { return (c >= 'A' && c <= 'Z') || IsDigit(c); })) {
        return std::nullopt;
    }
    const auto time = ReadTime(tag.substr(0, kTime.size()), kTime);
    if (!time) {
        return std::nullopt;
    }
    return ConflictCopy{SyncTool::Syncthing, *time, 0};
}

// "conflicted copy [user ]2026-12-08 153012": the user's name has no parentheses, so that the
// tag's end can be found.
std::optional<ConflictCopy> ReadNextcloud(std::string_view tag, unsigned number) {
    constexpr std::string_view kTime = "YYYY-MM-DD hhmmss";
    if (tag.size() < kConflictedCopy.size() + kTime.size()) {
        return std::nullopt;
    }
    const std::string_view user =
        tag.substr(kConflictedCopy.size(), tag.size() - kConflictedCopy.size() - kTime.size());
    if (!user.empty() && (user.size() < 2 || !user.ends_with(' ') ||
                          user.find_first_of("()") != std::string_view::npos)) {
        return std::nullopt;
    }
    const auto time = ReadTime(tag.substr(tag.size() - kTime.size()), kTime);
    if (!time) {
        return std::nullopt;
    }
    return ConflictCopy{SyncTool::Nextcloud, *time, number};
}

// "Taro's conflicted copy 2026-12-08[ (1)]": the name of whoever made it, and the day.
std::optional<ConflictCopy> ReadDropbox(std::string_view tag, unsigned number) {
    constexpr std::string_view kTime = "YYYY-MM-DD";
    constexpr std::string_view kMarker = " conflicted copy ";
    if (number == 0) {
        number = TakeNumber(tag);
    }
    if (tag.size() <= kMarker.size() + kTime.size()) {
        return std::nullopt;
    }
    const std::size_t marker = tag.size() - kTime.size() - kMarker.size();
    if (!EqualIgnoringCase(tag.substr(marker, kMarker.size()), kMarker)) {
        return std::nullopt;
    }
    const auto time = ReadTime(tag.substr(tag.size() - kTime.size()), kTime);
    if (!time) {
        return std::nullopt;
    }
    return ConflictCopy{SyncTool::Dropbox, *time, number};
}

}  // namespace

std::optional<ConflictCopy> ParseConflictCopyName(std::string_view fileName,
                                                  std::string_view libraryName) {
    // Every tool puts its tag between the name and the extension.
    const std::size_t dot = libraryName.rfind('.');
    const std::string_view stem = libraryName.substr(0, dot);
    const std::string_view extension =
        dot == std::string_view::npos ? std::string_view() : libraryName.substr(dot);
    if (fileName.size() <= libraryName.size() || !fileName.starts_with(stem) ||
        !fileName.ends_with(extension)) {
        return std::nullopt;
    }
    std::string_view tag =
        fileName.substr(stem.size(), fileName.size() - stem.size() - extension.size());
    if (tag.starts_with(kSyncthingTag)) {
        return ReadSyncthing(tag.substr(kSyncthingTag.size()));
    }
    if (!tag.starts_with(" (")) {
        return std::nullopt;
    }
    tag.remove_prefix(2);
    const unsigned number = TakeNumber(tag);
    if (!tag.ends_with(')')) {
        return std::nullopt;
    }
    tag.remove_suffix(1);
    if (EqualIgnoringCase(tag.substr(0, kConflictedCopy.size()), kConflictedCopy)) {
        return ReadNextcloud(tag, number);
    }
    return ReadDropbox(tag, number);
}

}  // namespace mopira
