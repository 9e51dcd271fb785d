#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/text/Charset.h"
#include "ui/controls/FixedDialog.h"

class QLineEdit;
class QPushButton;

namespace mopira {

// Asks for the name of a new folder. The folder dialogs each own one and tell it the names
// that are taken; it refuses those, "すべての顔文字" and names the library cannot store.
class CNewFolderDlg : public CFixedDialog {
    Q_OBJECT

public:
    explicit CNewFolderDlg(QWidget* parent = nullptr);

    // The name the dialog starts with before a run, and the one it ended with after OK.
    void SetName(const std::string& name);
    const std::string& Name() const { return m_strName; }
    // A name a new folder may not take (exact bytes, so another case is another name).
    void AddFolderName(std::string name) { m_folderNames.push_back(std::move(name)); }
    void ClearFolderNames() { m_folderNames.clear(); }
    // The encoding of the library the name is for.
    void SetCharset(Charset charset) { m_charset = charset; }
    // Asked on OK when the library is CP932 and the name holds characters it lacks; true when
    // the library is UTF-8 afterwards. Without it, such a name is refused.
    void SetUtf8Offer(std::function<bool()> offer) { m_offerUtf8 = std::move(offer); }

    void accept() override;

private:
    void UpdateOkButton();

    std::string m_strName;
    std::vector<std::string> m_folderNames;
    Charset m_charset;
    std::function<bool()> m_offerUtf8;
    QLineEdit* m_edtName;
    QPushButton* m_btnOK;
};

}  // namespace mopira
