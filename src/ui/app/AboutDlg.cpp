#include "ui/app/AboutDlg.h"

#include <QLabel>
#include <QPushButton>

#include "core/app/ControlIds.h"
#include "res/Resources.h"
#include "res/StringTable.h"
#include "ui/app/DialogUnits.h"
#include "ui/app/Fonts.h"

namespace mopira {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(res::kAboutCaption.toString());
    setFont(FaceFont(9));
    const CDialogUnits du(font());
    setFixedSize(du.X(235), du.Y(55));

    auto* icon = new QLabel(this);
    icon->setPixmap(res::LoadIcon(id::kAppIcon).pixmap(32, 32));
    icon->setGeometry(du.X(11), du.Y(12), 32, 32);

    auto* product = new QLabel(res::kAboutProduct.toString(), this);
    product->setObjectName(QStringLiteral("product"));
    product->setTextFormat(Qt::PlainText);
    product->setGeometry(du.Rect(40, 10, 119, 8).adjusted(0, 0, 0, du.Y(2)));

    auto* line2 = new QLabel(res::kAboutLine2.toString(), this);
    line2->setTextFormat(Qt::PlainText);
    line2->setGeometry(du.Rect(40, 25, 119, 8).adjusted(0, 0, 0, du.Y(2)));

    auto* ok = new QPushButton(res::kOk.toString(), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    ok->setGeometry(du.Rect(178, 7, 50, 14));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace mopira
