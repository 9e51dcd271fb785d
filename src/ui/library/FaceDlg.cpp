#include "ui/library/FaceDlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>

#include "res/StringTable.h"
#include "ui/library/FieldText.h"
#include "ui/library/FolderTree.h"
#include "ui/library/SingleLineValidator.h"
#include "ui/platform/DialogUnits.h"
#include "ui/platform/Fonts.h"
#include "ui/platform/TextConvert.h"

namespace mopira {

CFaceDlg::CFaceDlg(QWidget* parent, const LibraryView& view, QString face)
    : CFixedDialog(parent),
      m_view(view),
      m_charset(view.library.GetCharset()),
      m_strFace(std::move(face)),
      m_newFolderDlg(this) {
    setFont(FaceFont(9));
}

void CFaceDlg::CreateFaceEdit(const CDialogUnits& du, QLabel* label, int x, int y, int cx, int cy) {
    m_edtFace = new QLineEdit(this);
    m_edtFace->setObjectName(QStringLiteral("m_edtFace"));
    m_edtFace->setGeometry(du.Rect(x, y, cx, cy));
    m_edtFace->setFont(FaceFont(16));
    m_edtFace->setValidator(new CSingleLineValidator(m_edtFace));
    m_edtFace->setAccessibleName(AccessibleName(label->text()));
    label->setBuddy(m_edtFace);
}

void CFaceDlg::CreateKeywordEdit(const CDialogUnits& du, int x, int y, int cx) {
    auto* label = new QLabel(res::kKeywordsLabel.toString(), this);
    label->setGeometry(du.Rect(x, y, cx, 8).adjusted(0, 0, 0, du.Y(2)));
    m_edtKeywords = new QLineEdit(this);
    m_edtKeywords->setObjectName(QStringLiteral("m_edtKeywords"));
    m_edtKeywords->setGeometry(du.Rect(x, y + 10, cx, 13));
    m_edtKeywords->setValidator(new CSingleLineValidator(m_edtKeywords));
    m_edtKeywords->setPlaceholderText(res::kKeywordsHint.toString());
    m_edtKeywords->setAccessibleName(AccessibleName(label->text()));
    label->setBuddy(m_edtKeywords);
}

QString CFaceDlg::FolderReading() const {
    return m_tree->NewFolderReading(m_strFolder);
}

void CFaceDlg::SetKeywords(const std::vector<std::string>& keywords) {
    QStringList words;
    for (const std::string& keyword : keywords) {
        words << QString::fromStdString(keyword);
    }
    m_edtKeywords->setText(words.join(QLatin1Char(' ')));
}

void CFaceDlg::CreateFolderTree(const CDialogUnits& du, QLabel* label, int x, int y, int cx,
                                int cy) {
    m_tree = new CFolderTree(m_view, m_newFolderDlg, this);
    m_tree->setGeometry(du.Rect(x, y, cx, cy));
    m_tree->setAccessibleName(AccessibleName(label->text()));
    label->setBuddy(m_tree);
}

QPushButton* CFaceDlg::CreateNewFolderButton(const CDialogUnits& du, int x, int y, int cx, int cy) {
    auto* newFolder = new QPushButton(res::kNewFolderButton.toString(), this);
    newFolder->setObjectName(QStringLiteral("m_btnNewFolder"));
    newFolder->setGeometry(du.Rect(x, y, cx, cy));
    return newFolder;
}

void CFaceDlg::CreateOkButton(const CDialogUnits& du, int x, int y, int cx, int cy) {
    m_btnOK = new QPushButton(res::kOk.toString(), this);
    m_btnOK->setObjectName(QStringLiteral("m_btnOK"));
    m_btnOK->setDefault(true);
    m_btnOK->setEnabled(false);
    m_btnOK->setGeometry(du.Rect(x, y, cx, cy));
}

QPushButton* CFaceDlg::CreateCancelButton(const CDialogUnits& du, int x, int y, int cx, int cy) {
    auto* cancel = new QPushButton(res::kCancel.toString(), this);
    cancel->setObjectName(QStringLiteral("m_btnCancel"));
    cancel->setGeometry(du.Rect(x, y, cx, cy));
    return cancel;
}

void CFaceDlg::Start(QPushButton* newFolder, QPushButton* cancel, const std::string& preselect) {
    connect(m_edtFace, &QLineEdit::textChanged, this, &CFaceDlg::UpdateOkButton);
    connect(m_tree, &QTreeWidget::itemSelectionChanged, this, &CFaceDlg::UpdateOkButton);
    connect(m_btnOK, &QPushButton::clicked, this, &CFaceDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CFaceDlg::reject);
    connect(newFolder, &QPushButton::clicked, m_tree, &CFolderTree::AddNewFolderNode);

    m_edtFace->setText(m_strFace);
    m_tree->FillFolderTree(preselect);
    m_edtFace->setFocus();
}

void CFaceDlg::SetUtf8Offer(std::function<bool()> offer) {
    m_newFolderDlg.SetUtf8Offer(std::move(offer));
}

void CFaceDlg::FollowCharset() {
    if (m_view.library.GetCharset() == m_charset) {
        return;
    }
    m_tree->FollowCharset();
    m_charset = m_view.library.GetCharset();
    UpdateOkButton();
}

void CFaceDlg::UpdateOkButton() {
    m_strFolder = m_tree->SelectedFolder();
    // Blanks count as text.
    m_btnOK->setEnabled(!m_edtFace->text().isEmpty() &&
                        IsUsableFolder(m_strFolder, m_view.library.GetCharset()));
}

void CFaceDlg::accept() {
    if (!m_btnOK->isEnabled()) {
        return;
    }
    FollowCharset();  // the new-folder dialog may have converted the library
    const QString text = m_edtFace->text();
    if (m_check && !m_check(text, m_strFolder)) {
        FollowCharset();  // and so may the check
        m_edtFace->setFocus();
        return;
    }
    FollowCharset();
    m_strFace = text;
    m_keywords.clear();
    if (m_edtKeywords) {
        static const QRegularExpression blanks(QStringLiteral("[\\s\\x{3000}]+"));
        for (const QString& word : m_edtKeywords->text().split(blanks, Qt::SkipEmptyParts)) {
            m_keywords.push_back(word.toStdString());
        }
    }
    CFixedDialog::accept();
}

}  // namespace mopira
