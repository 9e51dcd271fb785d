#include "ui/library/PropertyDlg.h"

#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

#include "res/StringTable.h"
#include "ui/platform/DialogUnits.h"

namespace mopira {

CPropertyDlg::CPropertyDlg(QWidget* parent, const LibraryView& view, const QString& face,
                           const std::string& folder)
    : CFaceDlg(parent, view, face) {
    setObjectName(QStringLiteral("CPropertyDlg"));
    setWindowTitle(res::kPropertyDlgCaption.toString());
    const CDialogUnits du(font());
    setFixedSize(du.X(190), du.Y(225));

    // The tab frames the page; the page's controls lie on it, as siblings drawn above it.
    auto* tab = new QTabWidget(this);
    tab->setObjectName(QStringLiteral("m_tab"));
    tab->addTab(new QWidget(tab), res::kPropertyTab.toString());
    tab->setFocusPolicy(Qt::NoFocus);
    tab->tabBar()->setFocusPolicy(Qt::NoFocus);
    tab->setGeometry(du.Rect(2, 2, 185, 203));

    auto* faceLabel = new QLabel(res::kContentLabel.toString(), this);
    faceLabel->setAlignment(Qt::AlignRight | Qt::AlignTop);
    faceLabel->setGeometry(du.Rect(10, 32, 25, 8).adjusted(0, 0, 0, du.Y(2)));
    CreateFaceEdit(du, faceLabel, 40, 25, 140, 18);
    CreateKeywordEdit(du, 40, 46, 140);

    auto* folderLabel = new QLabel(res::kLocationLabel.toString(), this);
    folderLabel->setAlignment(Qt::AlignRight | Qt::AlignTop);
    folderLabel->setGeometry(du.Rect(10, 74, 25, 8).adjusted(0, 0, 0, du.Y(2)));
    CreateFolderTree(du, folderLabel, 40, 72, 140, 111);

    QPushButton* newFolder = CreateNewFolderButton(du, 125, 185, 55, 14);
    CreateOkButton(du, 82, 209, 50, 14);
    QPushButton* cancel = CreateCancelButton(du, 137, 209, 50, 14);
    Start(newFolder, cancel, folder);
}

}  // namespace mopira
