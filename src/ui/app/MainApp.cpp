#include "ui/app/MainApp.h"

#include <QCoreApplication>
#include <QSettings>

#include "ui/app/Fonts.h"
#include "ui/app/MainDlg.h"
#include "ui/app/ModalSeam.h"

namespace mopira {

QString CMainApp::DataDirectory() {
    return QCoreApplication::applicationDirPath();
}

QString CMainApp::SettingsPath() {
    // ~/.config/mopira.ini on Linux, %APPDATA%\mopira.ini on Windows.
    return QSettings(QSettings::IniFormat, QSettings::UserScope,
                     QCoreApplication::applicationName())
        .fileName();
}

int CMainApp::InitInstance() {
    InstallFontSubstitutes();
    CMainDlg dialog(DataDirectory(), SettingsPath());
    RunModal(dialog);
    return 0;
}

}  // namespace mopira
