#include "ui/app/AboutDlg.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>

#include "core/app/ControlIds.h"
#include "res/Resources.h"
#include "res/StringTable.h"
#include "ui/platform/DialogUnits.h"
#include "ui/platform/Fonts.h"

namespace mopira {

namespace {

// The folder as the user would type it: the home folder shortened to "~" where that works.
QString ShortFolderName(const QString& directory) {
    QString name = QDir::toNativeSeparators(QDir::cleanPath(directory));
#ifndef Q_OS_WIN
    const QString home = QDir::homePath();
    if (name == home || name.startsWith(home + QLatin1Char('/'))) {
        name.replace(0, home.size(), QStringLiteral("~"));
    }
#endif
    return name;
}

}  // namespace

CAboutDlg::CAboutDlg(const QString& dataDirectory, QWidget* parent) : CFixedDialog(parent) {
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

    auto* line2 = new QLabel(this);
    line2->setObjectName(QStringLiteral("dataFolder"));
    line2->setTextFormat(Qt::PlainText);
    line2->setGeometry(du.Rect(40, 25, 119, 8).adjusted(0, 0, 0, du.Y(2)));
    // A long path keeps its start and its end; the whole of it is in the tooltip.
    const QString folder = res::kAboutDataFolder.toString().arg(ShortFolderName(dataDirectory));
    line2->setText(line2->fontMetrics().elidedText(folder, Qt::ElideMiddle, line2->width()));
    line2->setToolTip(QDir::toNativeSeparators(dataDirectory));

    auto* ok = new QPushButton(res::kOk.toString(), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    ok->setGeometry(du.Rect(178, 7, 50, 14));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace mopira
