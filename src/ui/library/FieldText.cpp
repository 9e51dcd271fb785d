#include "ui/library/FieldText.h"

#include <QStringList>

#include "res/StringTable.h"
#include "ui/platform/MessageBox.h"
#include "ui/platform/TextConvert.h"

namespace mopira {

namespace {

// A pasted page of symbols would make the message taller than the screen.
constexpr std::size_t kMaxListed = 16;

}  // namespace

QString ListCharacters(const std::u32string& characters) {
    QStringList items;
    for (std::size_t i = 0; i < characters.size() && i < kMaxListed; ++i) {
        const char32_t character = characters[i];
        QString shown = QString::fromUcs4(&character, 1);
        const QChar::Category category = QChar::category(character);
        if (category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining ||
            category == QChar::Mark_Enclosing) {
            // A combining mark alone would sit on whatever stands before it.
            shown.prepend(QChar(0x25CC));
        }
        items << QStringLiteral("%1 (U+%2)")
                     .arg(shown, QString::number(static_cast<uint>(character), 16)
                                     .toUpper()
                                     .rightJustified(4, QLatin1Char('0')));
    }
    QString list = items.join(QStringLiteral("、"));
    if (characters.size() > kMaxListed) {
        list += QStringLiteral("、…");
    }
    return list;
}

QString ListFirstItems(const QStringList& first, std::size_t total) {
    QString list = first.join(QLatin1Char('\n'));
    if (total > static_cast<std::size_t>(first.size())) {
        list += QLatin1Char('\n') + res::kMoreItems.toString().arg(total - first.size()).arg(total);
    }
    return list;
}

bool NeedsUtf8(const QString& text, std::string_view original, Charset charset) {
    return charset.GetEncoding() == Encoding::Cp932 && text != ToQString(original, charset) &&
           !FromQString(text, charset).Ok();
}

const std::string& AllFacesName(Charset charset) {
    static const std::string cp932 = FromQString(res::kAllFaces.toString(), Charset()).bytes;
    static const std::string utf8 =
        FromQString(res::kAllFaces.toString(), Charset(Encoding::Utf8)).bytes;
    return charset.GetEncoding() == Encoding::Utf8 ? utf8 : cp932;
}

bool IsUsableFolder(std::string_view folder, Charset charset) {
    return !folder.empty() && folder != AllFacesName(charset);
}

std::optional<std::string> TakeFieldText(QWidget* parent, const QString& text,
                                         std::string_view original, Charset charset) {
    if (text == ToQString(original, charset)) {
        return std::string(original);
    }
    EncodeResult encoded = FromQString(text, charset);
    if (!encoded.Ok()) {
        ShowMessage(parent,
                    res::kUnrepresentable.toString().arg(ListCharacters(encoded.unrepresentable)));
        return std::nullopt;
    }
    return std::move(encoded.bytes);
}

QString AccessibleName(QStringView label) {
    QString name = label.toString();
    name.remove(QLatin1Char('&'));
    return name;
}

}  // namespace mopira
