#include "ui/platform/KeySym.h"

namespace mopira {

namespace {

constexpr std::uint32_t kXkF1 = 0xffbe;

}  // namespace

std::uint32_t KeySymOf(Qt::Key key) {
    const int code = int(key);
    if (code >= Qt::Key_A && code <= Qt::Key_Z) {
        return std::uint32_t(code - Qt::Key_A + 'a');
    }
    // Latin-1 capitals (but the multiplication sign) have their small letter 0x20 above.
    if (code >= Qt::Key_Agrave && code <= Qt::Key_THORN && code != Qt::Key_multiply) {
        return std::uint32_t(code + 0x20);
    }
    // Every other Latin-1 key's keysym is its character, as Qt's code is.
    if ((code >= Qt::Key_Space && code <= Qt::Key_AsciiTilde) ||
        (code >= Qt::Key_nobreakspace && code <= Qt::Key_ydiaeresis)) {
        return std::uint32_t(code);
    }
    if (code >= Qt::Key_F1 && code <= Qt::Key_F35) {
        return kXkF1 + std::uint32_t(code - Qt::Key_F1);
    }
    struct Named {
        Qt::Key key;
        std::uint32_t keySym;
    };
    static constexpr Named kNamed[] = {
        {Qt::Key_Escape, 0xff1b},     {Qt::Key_Tab, 0xff09},      {Qt::Key_Backspace, 0xff08},
        {Qt::Key_Return, 0xff0d},     {Qt::Key_Enter, 0xff8d},    {Qt::Key_Insert, 0xff63},
        {Qt::Key_Delete, 0xffff},     {Qt::Key_Pause, 0xff13},    {Qt::Key_Print, 0xff61},
        {Qt::Key_Home, 0xff50},       {Qt::Key_End, 0xff57},      {Qt::Key_Left, 0xff51},
        {Qt::Key_Up, 0xff52},         {Qt::Key_Right, 0xff53},    {Qt::Key_Down, 0xff54},
        {Qt::Key_PageUp, 0xff55},     {Qt::Key_PageDown, 0xff56}, {Qt::Key_Menu, 0xff67},
        {Qt::Key_ScrollLock, 0xff14},
    };
    for (const Named& named : kNamed) {
        if (named.key == key) {
            return named.keySym;
        }
    }
    return 0;
}
std::vector<std::uint32_t> KeySymsOf(QKeyCombination keys) {
    const std::uint32_t key = KeySymOf(keys.key());
    if (key == 0) {
        return {};
    }
    std::vector<std::uint32_t> pressed;
    const Qt::KeyboardModifiers held = keys.keyboardModifiers();
    for (const auto& [modifier, keySym] :
         {std::pair{Qt::ControlModifier, kKeySymControlL},
          std::pair{Qt::ShiftModifier, kKeySymShiftL}, std::pair{Qt::AltModifier, kKeySymAltL},
          std::pair{Qt::MetaModifier, kKeySymSuperL}}) {
        if (held & modifier) {
            pressed.push_back(keySym);
        }
    }
    pressed.push_back(key);
    return pressed;
}

}  // namespace mopira
