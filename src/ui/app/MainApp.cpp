#include "ui/app/MainApp.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QSessionManager>
#include <QSettings>
#include <QTimer>
#include <cstdio>

#include "store/DataFolder.h"
#include "store/LibraryDocument.h"
#include "store/PlatformFile.h"
#include "store/RecentFaces.h"
#include "ui/app/CommandLine.h"
#include "ui/app/MainDlg.h"
#include "ui/app/QtTranslation.h"
#include "ui/app/SingleInstance.h"
#include "ui/app/TerminationSignals.h"
#include "ui/library/LibraryMessages.h"
#include "ui/platform/Fonts.h"

namespace mopira {

QString CMainApp::SettingsPath() {
    // ~/.config/mopira.ini on Linux, %APPDATA%\mopira.ini on Windows.
    return QSettings(QSettings::IniFormat, QSettings::UserScope,
                     QCoreApplication::applicationName())
        .fileName();
}

int CMainApp::RunMainWindow(QDialog& window) {
    QEventLoop loop;
    QObject::connect(&window, &QDialog::finished, &loop, &QEventLoop::exit);
    window.show();
    return loop.exec();
}

int CMainApp::InitInstance(const ActivationToken& token) {
    IgnoreFileSizeLimitSignal();
    CCommandLine commandLine;
    if (const std::optional<int> exitCode = commandLine.Parse(QCoreApplication::arguments())) {
        commandLine.PrintMessage(*exitCode);
        return *exitCode;
    }
    const DataFolder folder = ChooseDataFolder(
        ProbeDataCandidates(commandLine.DataDir(), QCoreApplication::applicationDirPath()));
    QString error;
    // The user's own folder that cannot be made still starts the window, which says that
    // nothing will be saved; a folder named on the command line is a mistake to correct.
    if (!PrepareDataFolder(folder, &error) && folder.mode == DataMode::Chosen) {
        const int exitCode = commandLine.Refuse(error);
        commandLine.PrintMessage(exitCode);
        return exitCode;
    }
    // One window per data folder: a second one would save over the first one's changes.
    const QByteArray request = commandLine.WindowMessage();
    CSingleInstance instance(folder.directory);
    if (!instance.Claim()) {
        if (instance.SendToRunning(request, token)) {
            return CCommandLine::kExitOk;
        }
        std::fprintf(stderr, "mopira: another instance holds %s but does not answer\n",
                     qPrintable(folder.directory));
        return CCommandLine::kExitNoAnswer;
    }
    if (request == CSingleInstance::kHide) {
        // Nothing runs to be hidden; a window started only to hide would be a surprise.
        return CCommandLine::kExitOk;
    }
    // Lets the desktop match the window with its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(MOPIRA_APP_ID));
    InstallFontSubstitutes();
    InstallQtTranslation();
    // The library and the emoticons copied last live as long as the program: the window and
    // its pages, and the tray, borrow them.
    CLibraryDocument document(folder.directory);
    CRecentFaces recent(document);
    CMainDlg dialog(document, recent, SettingsPath());
    if (request == CSingleInstance::kToggle || request == CSingleInstance::kShow) {
        dialog.MarkSummoned();  // started by a key bound to the command, which calls it back
    }
    QObject::connect(
        &instance, &CSingleInstance::messageReceived, &dialog,
        [&dialog](const QByteArray& message, const ActivationToken& later) {
            if (message == CSingleInstance::kToggle || message == CSingleInstance::kShow) {
                dialog.MarkSummoned();
            }
            if (message == CSingleInstance::kToggle) {
                dialog.ToggleWindow(later);
            } else if (message == CSingleInstance::kHide) {
                dialog.HideWindow();
            } else {
                dialog.BringToFront(later);
            }
        });
    // A logout, a shutdown or kill ends the program as the close button does; nobody is there
    // to answer a question then.
    bool ended = false;
    auto end = [&dialog, &ended] {
        ended = true;
        dialog.Quit();
    };
    CTerminationSignals termination;
    QObject::connect(&termination, &CTerminationSignals::terminationRequested, &dialog, end);
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, &dialog, end);
    // Qt 6.4 shows the first window without the desktop's token either.
    if (!token.xdgActivation.isEmpty()) {
        QTimer::singleShot(0, &dialog, [&dialog, own = token.xdgActivation] {
            dialog.BringToFront({own, {}});
        });
    }
    // The window may hide and come back (the tray, the shortcut, a later start): the program
    // ends when it ends, not when the last window closes or hides.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    RunMainWindow(dialog);
    // Nothing the user changed is dropped without a word.
    CLibraryMessages::SettleBeforeClosing(&dialog, document,
                                          ended ? CloseQuestion::Never : CloseQuestion::Ask);
    return CCommandLine::kExitOk;
}

}  // namespace mopira
