#include "ui/library/DictionaryFormatDlg.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <algorithm>

#include "res/StringTable.h"
#include "ui/platform/DialogUnits.h"
#include "ui/platform/Fonts.h"

namespace mopira {

namespace {

constexpr const char* kFormatKey = "List/DictionaryFormat";

struct FormatChoice {
    DictionaryFormat format;
    QStringView caption;
    QStringView note;
    const char* name;
};

constexpr FormatChoice kChoices[] = {
    {DictionaryFormat::Mozc, res::kDictionaryMozc, res::kDictionaryMozcNote, "m_radMozc"},
    {DictionaryFormat::MsIme, res::kDictionaryMsIme, res::kDictionaryMsImeNote, "m_radMsIme"},
    {DictionaryFormat::QuickPhrase, res::kDictionaryQuickPhrase, res::kDictionaryQuickPhraseNote,
     "m_radQuickPhrase"},
    {DictionaryFormat::Skk, res::kDictionarySkk, res::kDictionarySkkNote, "m_radSkk"},
};

}  // namespace

CDictionaryFormatDlg::CDictionaryFormatDlg(DictionaryFormat initial, QWidget* parent)
    : CFixedDialog(parent) {
    setObjectName(QStringLiteral("CDictionaryFormatDlg"));
    setWindowTitle(res::kDictionaryCaption.toString());
    setFont(FaceFont(9));
    const CDialogUnits du(font());

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(du.X(7), du.Y(7), du.X(7), du.Y(7));
    layout->setSpacing(du.Y(3));
    auto* prompt = new QLabel(res::kDictionaryPrompt.toString(), this);
    prompt->setWordWrap(true);
    layout->addWidget(prompt);
    layout->addSpacing(du.Y(4));

    m_formats = new QButtonGroup(this);
    int widest = 0;
    for (const FormatChoice& choice : kChoices) {
        auto* button = new QRadioButton(choice.caption.toString(), this);
        button->setObjectName(QString::fromLatin1(choice.name));
        m_formats->addButton(button, static_cast<int>(choice.format));
        button->setChecked(choice.format == initial);
        // The note stands under the caption's text, and is read with the button.
        auto* note = new QLabel(choice.note.toString(), this);
        note->setIndent(du.X(12));
        button->setAccessibleDescription(choice.note.toString());
        widest = std::max(widest, note->sizeHint().width());
        layout->addWidget(button);
        layout->addWidget(note);
        layout->addSpacing(du.Y(2));
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(res::kOk.toString());
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("m_btnOK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(res::kCancel.toString());
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("m_btnCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addSpacing(du.Y(4));
    layout->addWidget(buttons);
    // The notes are one line each: the prompt wraps to their width, not the other way.
    prompt->setMinimumWidth(widest);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_formats->checkedButton()->setFocus();
}

DictionaryFormat CDictionaryFormatDlg::Format() const {
    return static_cast<DictionaryFormat>(m_formats->checkedId());
}

QString CDictionaryFormatDlg::FileFilter(DictionaryFormat format) {
    switch (format) {
        case DictionaryFormat::QuickPhrase:
            return res::kDictionaryQuickPhraseFilter.toString();
        case DictionaryFormat::Skk:
            return res::kDictionarySkkFilter.toString();
        case DictionaryFormat::Mozc:
        case DictionaryFormat::MsIme:
            break;
    }
    return res::kDictionaryTextFilter.toString();
}

DictionaryFormat CDictionaryFormatDlg::Remembered(const QString& settingsPath) {
    const QString name =
        QSettings(settingsPath, QSettings::IniFormat).value(QLatin1String(kFormatKey)).toString();
    return ParseDictionaryFormat(name.toStdString()).value_or(DictionaryFormat::Mozc);
}

void CDictionaryFormatDlg::Remember(const QString& settingsPath, DictionaryFormat format) {
    // This key alone: whatever else the file holds, edited while the program runs, stays.
    QSettings profile(settingsPath, QSettings::IniFormat);
    profile.setValue(QLatin1String(kFormatKey),
                     QString::fromStdString(std::string(DictionaryFormatName(format))));
    profile.sync();
}

QString CDictionaryFormatDlg::SuggestedPath(DictionaryFormat format) {
    QDir folder = QDir::home();
    switch (format) {
        case DictionaryFormat::Mozc:
            return folder.filePath(QStringLiteral("mopira-mozc.txt"));
        case DictionaryFormat::MsIme:
            return folder.filePath(QStringLiteral("mopira-msime.txt"));
        case DictionaryFormat::QuickPhrase: {
            // fcitx5 reads every *.mb there: written there, it is in use after a restart.
            const QDir quickPhrase(
                QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                QStringLiteral("/fcitx5/data/quickphrase.d"));
            if (quickPhrase.exists()) {
                folder = quickPhrase;
            }
            return folder.filePath(QStringLiteral("mopira.mb"));
        }
        case DictionaryFormat::Skk:
            return folder.filePath(QStringLiteral("SKK-JISYO.mopira.utf8"));
    }
    return {};
}

}  // namespace mopira
