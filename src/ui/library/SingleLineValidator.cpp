#include "ui/library/SingleLineValidator.h"

#include <algorithm>

namespace mopira {

namespace {

bool IsLineBreak(QChar c) {
    switch (c.unicode()) {
        case u'\n':
        case u'\r':
        case u'\v':
        case u'\f':
        case 0x0085:
        case 0x2028:
        case 0x2029:
            return true;
        default:
            return false;
    }
}

}  // namespace

QValidator::State CSingleLineValidator::validate(QString& input, int& pos) const {
    const auto first = std::find_if(input.cbegin(), input.cend(), IsLineBreak);
    if (first == input.cend()) {
        return Acceptable;
    }
    // The field held no break before, so every break came with the inserted text, which ends
    // at the cursor: its first line stays, the rest of it up to the cursor goes.
    const auto last = std::find_if(input.crbegin(), input.crend(), IsLineBreak).base();
    const qsizetype from = first - input.cbegin();
    const qsizetype to = std::max<qsizetype>(pos, last - input.cbegin());
    input.remove(from, to - from);
    pos = static_cast<int>(from);
    return Acceptable;
}

}  // namespace mopira
