#include "ui/platform/GlobalHotkey.h"

#include <QKeySequence>

// Whole types for the members' destructor, built or not.
#include "ui/platform/DesktopSession.h"
#include "ui/platform/PortalShortcut.h"
#include "ui/platform/X11Hotkey.h"

namespace mopira {

namespace {

bool TypesCharacter(Qt::Key key) {
    // Qt's codes of the printable Latin-1 keys are their characters.
    return (key >= Qt::Key_Space && key <= Qt::Key_AsciiTilde) ||
           (key >= Qt::Key_nobreakspace && key <= Qt::Key_ydiaeresis);
}

}  // namespace

CGlobalHotkey::CGlobalHotkey(QObject* parent) : QObject(parent) {}

CGlobalHotkey::~CGlobalHotkey() = default;

std::optional<QKeyCombination> CGlobalHotkey::Parse(const QString& keys) {
    const QKeySequence sequence =
        QKeySequence::fromString(keys.trimmed(), QKeySequence::PortableText);
    if (sequence.count() != 1) {
        return std::nullopt;
    }
    const QKeyCombination combination = sequence[0];
    const Qt::Key key = combination.key();
    switch (key) {
        case Qt::Key_unknown:
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Alt:
        case Qt::Key_Meta:
        case Qt::Key_AltGr:
            return std::nullopt;
        default:
            break;
    }
    const Qt::KeyboardModifiers held = combination.keyboardModifiers();
    if (TypesCharacter(key) &&
        !(held & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
        return std::nullopt;
    }
    return combination;
}

CGlobalHotkey::Result CGlobalHotkey::Register(const QString& keys, const QString& description) {
    Unregister();
    if (keys.trimmed().isEmpty()) {
        return Result::Off;
    }
    const std::optional<QKeyCombination> combination = Parse(keys);
    if (!combination) {
        return Result::Invalid;
    }
#ifdef MOPIRA_HAVE_X11
    if (OnX11Platform() && !IsWaylandSession()) {
        auto x11 = std::make_unique<CX11Hotkey>();
        const Result result = x11->Grab(*combination);
        if (result == Result::Grabbed) {
            connect(x11.get(), &CX11Hotkey::pressed, this, [this] { emit activated({}); });
            m_x11 = std::move(x11);
        }
        return result;
    }
#endif
#ifdef MOPIRA_HAVE_DBUS
    if (IsWaylandSession()) {
        m_portal = std::make_unique<CPortalShortcut>();
        connect(m_portal.get(), &CPortalShortcut::activated, this, &CGlobalHotkey::activated);
        connect(m_portal.get(), &CPortalShortcut::settled, this, &CGlobalHotkey::settled);
        m_portal->Bind(*combination, description);
        return Result::Pending;
    }
#else
    Q_UNUSED(description);
#endif
    return Result::Unsupported;
}

void CGlobalHotkey::Unregister() {
    m_x11.reset();
    m_portal.reset();
}

}  // namespace mopira
