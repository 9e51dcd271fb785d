#include "ui/builder/FaceParts.h"

#include <QFontMetrics>
#include <QString>
#include <algorithm>
#include <tuple>

#include "core/app/ControlIds.h"
#include "core/builder/FaceBuilder.h"
#include "res/StringTable.h"
#include "ui/controls/HoverButton.h"
#include "ui/platform/DialogUnits.h"
#include "ui/platform/Fonts.h"
#include "ui/platform/TextConvert.h"

namespace mopira {

namespace {

// Part buttons draw "&" as a mnemonic mark; a part is text, so every "&" is literal.
QString AsCaption(const QString& text) {
    QString caption = text;
    return caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

// Where the face starts in the group box, and the part buttons' row.
constexpr int kFaceLeft = 25;
constexpr int kFaceTop = 85;
constexpr int kFaceHeight = 60;
// The room kept free on the right of the face inside the group box, and the smallest size a
// wide face is drawn at: a face that runs past its box is worse than a small one, so only
// glyphs too small to tell apart stop the shrinking.
constexpr int kFaceRightMargin = 10;
constexpr int kSmallestPartPoints = 6;

}  // namespace

CFaceParts::CFaceParts(const CDialogUnits& du, QWidget* page) : QObject(page) {
    const struct {
        PartSlot slot;
        const char* name;
        int controlId;
        const char16_t* caption;
        QStringView tip;
        int x;
    } parts[] = {
        {PartSlot::EdgeLeft, "m_btnEdgeLeft", id::kEdgeLeftButton, u"(", res::kEdgeLeftTip, 10},
        {PartSlot::EyeLeft, "m_btnEyeLeft", id::kEyeLeftButton, u"^", res::kEyeLeftTip, 30},
        {PartSlot::Mouth, "m_btnMouth", id::kMouthButton, u"_", res::kMouthTip, 50},
        {PartSlot::EyeRight, "m_btnEyeRight", id::kEyeRightButton, u"^", res::kEyeRightTip, 70},
        {PartSlot::EmotionRight, "m_btnEmotionRight", id::kEmotionRightButton, u";",
         res::kEmotionRightTip, 90},
        {PartSlot::EdgeRight, "m_btnEdgeRight", id::kEdgeRightButton, u")", res::kEdgeRightTip,
         110},
        {PartSlot::EmotionLeft, "m_btnEmotionLeft", id::kEmotionLeftButton, u"",
         res::kEmotionLeftTip, 130},
    };
    m_fontPart = FaceFont(40);
    for (const auto& part : parts) {
        auto* button = new CHoverButton(page);
        m_btnParts[static_cast<std::size_t>(part.slot)] = button;
        button->setText(QString::fromUtf16(part.caption));
        PlaceControl(du, button, part.name, part.controlId, part.x, 55, 20, 55);
        button->setFont(m_fontPart);
        // The face stands on the group box's own background.
        button->SetTransparentBack(true);
        // Space steps a part as a click does; the keyboard must see which one it is on.
        button->SetShowFocus(true);
        button->SetTipText(part.tip.toString(), true);
        connect(button, &CHoverButton::clicked, this,
                [this, slot = part.slot] { emit partClicked(slot); });
    }
}

CHoverButton* CFaceParts::PartButton(PartSlot slot) const {
    return m_btnParts[static_cast<std::size_t>(slot)];
}

void CFaceParts::UpdateCaptions(const CFaceBuilder& builder) {
    for (const PartSlotInfo& slot : AllPartSlots()) {
        PartButton(slot.slot)->setText(
            AsCaption(ToDisplayString(builder.Caption(slot.slot), builder.GetCharset())));
    }
}

void CFaceParts::Layout(const CFaceBuilder& builder, int boxRight) {
    // A face wider than the group box is drawn smaller, down to glyphs still told apart,
    // rather than running past the window's edge; the text itself stays whole.
    const int room = boxRight - kFaceRightMargin - kFaceLeft;
    const auto widths = [&builder](const QFont& font) {
        const QFontMetrics metrics(font);
        std::array<int, kPartSlotCount> widths{};
        int total = 0;
        for (const PartSlotInfo& slot : AllPartSlots()) {
            const int width = builder.IsIncluded(slot.category)
                                  ? metrics.horizontalAdvance(ToDisplayString(
                                        builder.Caption(slot.slot), builder.GetCharset()))
                                  : 0;
            widths[static_cast<std::size_t>(slot.slot)] = width;
            total += width;
        }
        return std::make_pair(widths, total);
    };
    QFont font = m_fontPart;
    auto [sizes, total] = widths(font);
    if (total > room && room > 0) {
        // Widths grow about in step with the size: one guess, then small steps down.
        int points =
            std::max(kSmallestPartPoints,
                     static_cast<int>(static_cast<qint64>(font.pointSize()) * room / total));
        for (;;) {
            font.setPointSize(points);
            std::tie(sizes, total) = widths(font);
            if (total <= room || points <= kSmallestPartPoints) {
                break;
            }
            points = std::max(kSmallestPartPoints, points - 1);
        }
    }
    int x = kFaceLeft;
    for (const PartSlotInfo& slot : AllPartSlots()) {
        CHoverButton* button = PartButton(slot.slot);
        const int width = sizes[static_cast<std::size_t>(slot.slot)];
        if (button->font() != font) {
            button->setFont(font);
        }
        button->setGeometry(x, kFaceTop, width, kFaceHeight);
        // A part that takes no room is no stop for the Tab key either.
        button->setFocusPolicy(width > 0 ? Qt::StrongFocus : Qt::NoFocus);
        x += width;
        button->update();
    }
}

}  // namespace mopira
