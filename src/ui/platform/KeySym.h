#pragma once

#include <QKeyCombination>
#include <cstdint>
#include <vector>

// Qt's keys as keysyms, X11's and xkb's numbers for what a key gives, in which the window
// systems' keyboards are driven: X11's key grabs and XTEST, Wayland's virtual keyboards, the
// desktop portal's remote keyboard and its shortcut triggers.
namespace mopira {

inline constexpr std::uint32_t kKeySymShiftL = 0xffe1;
inline constexpr std::uint32_t kKeySymControlL = 0xffe3;
inline constexpr std::uint32_t kKeySymAltL = 0xffe9;
inline constexpr std::uint32_t kKeySymSuperL = 0xffeb;

// The keysym of a Qt key, 0 for none. Letters give their lower-case keysym, which the key's
// first column holds.
std::uint32_t KeySymOf(Qt::Key key);

// The keys pressed to type `keys`, in their order: its modifiers (Ctrl, Shift, Alt, Meta), then
// the key; empty when the key has no keysym.
std::vector<std::uint32_t> KeySymsOf(QKeyCombination keys);

}  // namespace mopira
