#include "ui/library/AddFaceDlg.h"

#include <QLabel>
#include <QPushButton>

#include "core/app/ControlIds.h"
#include "res/Resources.h"
#include "res/StringTable.h"
#include "ui/platform/DialogUnits.h"

namespace mopira {

CAddFaceDlg::CAddFaceDlg(QWidget* parent, const LibraryView& view, const QString& face,
                         const std::string& preselect)
    : CFaceDlg(parent, view, face) {
    setObjectName(QStringLiteral("CAddFaceDlg"));
    setWindowTitle(res::kAddDlgCaption.toString());
    const CDialogUnits du(font());
    setFixedSize(du.X(235), du.Y(195));

    // Created in the order of the keyboard's tab order.
    auto* icon = new QLabel(this);
    icon->setPixmap(res::LoadIcon(id::kAppIcon).pixmap(32, 32));
    icon->setGeometry(du.X(7), du.Y(7), 32, 32);

    auto* prompt = new QLabel(res::kAddDlgPrompt.toString(), this);
    prompt->setWordWrap(true);
    prompt->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    prompt->setGeometry(du.Rect(36, 10, 115, 15).adjusted(0, 0, 0, du.Y(2)));

    auto* faceLabel = new QLabel(res::kContentLabel.toString(), this);
    faceLabel->setAlignment(Qt::AlignRight | Qt::AlignTop);
    faceLabel->setGeometry(du.Rect(5, 37, 28, 10));
    CreateFaceEdit(du, faceLabel, 35, 30, 135, 18);
    CreateKeywordEdit(du, 35, 51, 135);

    auto* folderLabel = new QLabel(res::kLocationLabel.toString(), this);
    folderLabel->setAlignment(Qt::AlignRight | Qt::AlignTop);
    folderLabel->setGeometry(du.Rect(5, 80, 28, 8).adjusted(0, 0, 0, du.Y(2)));

    CreateOkButton(du, 178, 7, 53, 14);
    QPushButton* cancel = CreateCancelButton(du, 178, 24, 53, 14);
    CreateFolderTree(du, folderLabel, 35, 78, 135, 110);
    QPushButton* newFolder = CreateNewFolderButton(du, 178, 41, 53, 14);
    Start(newFolder, cancel, preselect);
}

}  // namespace mopira
