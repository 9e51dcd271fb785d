#include "ui/controls/TipToolBar.h"

#include <QEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QToolButton>
#include <utility>

#include "res/Resources.h"
#include "res/StringTable.h"
#include "ui/controls/Emboss.h"
#include "ui/controls/ToolBarButton.h"
#include "ui/controls/ToolBarDescriptor.h"

namespace mopira {

CTipToolBar::CTipToolBar(QWidget* parent) : QWidget(parent) {}

CTipToolBar::~CTipToolBar() = default;

bool CTipToolBar::LoadToolBar(int resourceId) {
    const std::optional<ToolBarDescriptor> descriptor =
        ParseToolBarDescriptor(res::LoadToolBarDescriptor(resourceId));
    const QPixmap strip = res::LoadToolBarBitmap(resourceId);
    if (!descriptor || strip.isNull()) {
        Clear();
        return false;
    }
    m_pixStrip = strip;
    m_sizeImage = descriptor->imageSize;
    return SetButtons(descriptor->ids);
}

bool CTipToolBar::SetButtons(const std::vector<int>& ids) {
    Clear();
    int image = 0;
    for (const int id : ids) {
        Entry entry;
        entry.command = id;
        if (id != 0) {
            entry.image = image++;
            entry.button = CreateButton(id, entry.image);
        }
        m_entries.push_back(entry);
    }
    Relayout();
    return true;
}

void CTipToolBar::DeleteButton(int index) {
    if (index < 0 || index >= ButtonCount()) {
        return;
    }
    Discard(m_entries[index].button);
    m_entries.erase(m_entries.begin() + index);
    Relayout();
}

void CTipToolBar::SetButtonImage(int commandId, int image) {
    if (Entry* entry = FindEntry(commandId)) {
        entry->image = image;
        ApplyImage(*entry);
    }
}

void CTipToolBar::CheckButton(int commandId, bool check) {
    if (Entry* entry = FindEntry(commandId)) {
        entry->button->setCheckable(true);
        entry->button->setChecked(check);
    }
}

bool CTipToolBar::IsButtonChecked(int commandId) const {
    const Entry* entry = FindEntry(commandId);
    return entry && entry->button->isChecked();
}

void CTipToolBar::EnableButton(int commandId, bool enable) {
    if (Entry* entry = FindEntry(commandId)) {
        entry->button->setEnabled(enable);
    }
}

bool CTipToolBar::IsButtonEnabled(int commandId) const {
    const Entry* entry = FindEntry(commandId);
    return entry && entry->button->isEnabledTo(this);
}

void CTipToolBar::HideButton(int commandId, bool hide) {
    if (Entry* entry = FindEntry(commandId); entry && entry->hidden != hide) {
        entry->hidden = hide;
        Relayout();
    }
}

bool CTipToolBar::IsButtonHidden(int commandId) const {
    const Entry* entry = FindEntry(commandId);
    return entry && entry->hidden;
}

int CTipToolBar::CommandAt(int index) const {
    if (index < 0 || index >= ButtonCount()) {
        return 0;
    }
    return m_entries[index].command;
}

QToolButton* CTipToolBar::ButtonFor(int commandId) const {
    const Entry* entry = FindEntry(commandId);
    return entry ? entry->button : nullptr;
}

QString CTipToolBar::TipText(int commandId) {
    const QString text = res::LoadString(commandId);
    const qsizetype start = text.indexOf(u'\n');
    if (start < 0) {
        return {};
    }
    const qsizetype end = text.indexOf(u'\n', start + 1);
    return end < 0 ? text.mid(start + 1) : text.mid(start + 1, end - start - 1);
}

QSize CTipToolBar::sizeHint() const {
    int width = 0;
    for (const Entry& entry : m_entries) {
        if (!entry.hidden) {
            width += entry.button ? ButtonSize().width() : kSeparatorWidth;
        }
    }
    return QSize(width, m_entries.empty() ? 0 : ButtonSize().height());
}

void CTipToolBar::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    for (const Entry& entry : m_entries) {
        if (entry.button || entry.hidden) {
            continue;
        }
        QStyleOption option;
        option.initFrom(this);
        option.rect = QRect(entry.x, 0, kSeparatorWidth, ButtonSize().height());
        option.state |= QStyle::State_Horizontal;
        style()->drawPrimitive(QStyle::PE_IndicatorToolBarSeparator, &option, &painter, this);
    }
}

void CTipToolBar::Clear() {
    for (Entry& entry : m_entries) {
        Discard(entry.button);
    }
    m_entries.clear();
    Relayout();
}

void CTipToolBar::Discard(QToolButton* button) {
    if (!button) {
        return;
    }
    // The window may rebuild the toolbar from a click on one of its buttons, so the button
    // leaves the toolbar at once but is deleted only once its click has been delivered.
    button->hide();
    button->setParent(nullptr);
    button->deleteLater();
}

CTipToolBar::Entry* CTipToolBar::FindEntry(int commandId) {
    return const_cast<Entry*>(std::as_const(*this).FindEntry(commandId));
}

const CTipToolBar::Entry* CTipToolBar::FindEntry(int commandId) const {
    if (commandId == 0) {
        return nullptr;
    }
    for (const Entry& entry : m_entries) {
        if (entry.command == commandId) {
            return &entry;
        }
    }
    return nullptr;
}

QToolButton* CTipToolBar::CreateButton(int commandId, int image) {
    auto* button = new CToolBarButton(this);
    button->setObjectName(QStringLiteral("button%1").arg(commandId));
    button->setAutoRaise(true);
    // The keyboard reaches every command: Tab visits the buttons, Space presses one.
    button->setFocusPolicy(Qt::TabFocus);
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    const QString tip = TipText(commandId);
    button->setToolTip(tip);
    button->setAccessibleName(tip);
    connect(button, &QToolButton::clicked, this,
            [this, commandId] { emit commandTriggered(commandId); });
    ApplyImage(Entry{commandId, image, false, 0, button});
    return button;
}

QSize CTipToolBar::ButtonSize() const {
    return m_sizeImage + QSize(kButtonPadding, kButtonPadding);
}

void CTipToolBar::ApplyImage(const Entry& entry) const {
    entry.button->setIconSize(m_sizeImage);
    entry.button->setIcon(QIcon(LegibleOn(CutToolBarImage(m_pixStrip, m_sizeImage, entry.image),
                                          palette().color(QPalette::Button))));
}

void CTipToolBar::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        // A dark palette turns the pictures' grey lines light.
        for (const Entry& entry : m_entries) {
            if (entry.button) {
                ApplyImage(entry);
            }
        }
    }
}

void CTipToolBar::Relayout() {
    int x = 0;
    for (Entry& entry : m_entries) {
        entry.x = x;
        if (entry.hidden) {
            if (entry.button) {
                entry.button->hide();
            }
            continue;
        }
        if (entry.button) {
            entry.button->setGeometry(QRect(QPoint(x, 0), ButtonSize()));
            entry.button->show();
            x += ButtonSize().width();
        } else {
            x += kSeparatorWidth;
        }
    }
    updateGeometry();
    update();
}

}  // namespace mopira
