#include "ui/app/MainApp.h"

#include <QCoreApplication>
#include <QSettings>
#include <cstdio>

#include "ui/app/Fonts.h"
#include "ui/app/MainDlg.h"
#include "ui/app/ModalSeam.h"
#include "ui/app/SingleInstance.h"
#include "ui/platform/PlatformFile.h"

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
    IgnoreFileSizeLimitSignal();
    const QString dataDirectory = DataDirectory();
    // One window per data folder: a second one would save over the first one's changes.
    CSingleInstance instance(dataDirectory);
    if (!instance.Claim()) {
        if (instance.SendToRunning(CSingleInstance::kActivate)) {
            return 0;
        }
        std::fprintf(stderr, "mopira: another instance holds %s but does not answer\n",
                     qPrintable(dataDirectory));
        return 1;
    }
    InstallFontSubstitutes();
    CMainDlg dialog(dataDirectory, SettingsPath());
    QObject::connect(&instance, &CSingleInstance::messageReceived, &dialog,
                     [&dialog](const QByteArray&) { dialog.BringToFront(); });
    RunModal(dialog);
    return 0;
}

}  // namespace mopira
