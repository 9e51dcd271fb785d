#pragma once

#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "core/text/Charset.h"
#include "ui/controls/FixedDialog.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace mopira {

class CReadingProposer;

// Asks for the name of a new folder and its reading. The folder dialogs each own one and tell
// it the names that are taken; it refuses those, "すべての顔文字" and names the library cannot
// store. The reading is proposed from the name as it is typed, until the user writes one.
class CNewFolderDlg : public CFixedDialog {
    Q_OBJECT

public:
    explicit CNewFolderDlg(QWidget* parent = nullptr);

    // The name the dialog starts with before a run (with its proposed reading), and the one
    // it ended with after OK.
    void SetName(const std::string& name);
    const std::string& Name() const { return m_strName; }
    // The reading the user confirmed with OK, trimmed; empty for none.
    QString Reading() const { return m_strReading; }
    // Where readings come from; the program's own proposer unless set.
    void SetReadingProposer(CReadingProposer& proposer) { m_proposer = &proposer; }
    // A name a new folder may not take (exact bytes, so another case is another name).
    void AddFolderName(std::string name) { m_folderNames.push_back(std::move(name)); }
    void ClearFolderNames() { m_folderNames.clear(); }
    // The encoding of the library the name is for.
    void SetCharset(Charset charset) { m_charset = charset; }
    // Asked on OK when the library is CP932 and the name holds characters it lacks; true when
    // the library is UTF-8 afterwards. Without it, such a name is refused.
    void SetUtf8Offer(std::function<bool()> offer) { m_offerUtf8 = std::move(offer); }

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnNameChanged();
    void UpdateOkButton();

    std::string m_strName;
    QString m_strReading;
    CReadingProposer* m_proposer;
    // The user wrote the reading: proposals no longer replace it.
    bool m_bReadingEdited = false;
    std::vector<std::string> m_folderNames;
    Charset m_charset;
    std::function<bool()> m_offerUtf8;
    QLineEdit* m_edtName;
    QLineEdit* m_edtReading;
    QLabel* m_lblNoProposals;
    QPushButton* m_btnOK;
};

}  // namespace mopira
