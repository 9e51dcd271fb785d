#pragma once

#include <QString>

#include "core/library/DictionaryExport.h"
#include "ui/controls/FixedDialog.h"

class QButtonGroup;

namespace mopira {

// Asks which input method the dictionary is for: one choice a format, each with a line on the
// input methods that read it and how the file is taken in.
class CDictionaryFormatDlg : public CFixedDialog {
    Q_OBJECT

public:
    CDictionaryFormatDlg(DictionaryFormat initial, QWidget* parent);

    DictionaryFormat Format() const;

    // The format chosen last, kept in the settings file `settingsPath`; Mozc at first.
    static DictionaryFormat Remembered(const QString& settingsPath);
    static void Remember(const QString& settingsPath, DictionaryFormat format);

    // What the save dialog offers for a format: the file types, and a file with a name that
    // says what it is and that its input method takes (QuickPhrase reads *.mb only), in the
    // folder the input method reads when there is one.
    static QString FileFilter(DictionaryFormat format);
    static QString SuggestedPath(DictionaryFormat format);

private:
    QButtonGroup* m_formats = nullptr;
};

}  // namespace mopira
