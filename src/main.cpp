#include <QApplication>

#include "ui/app/CommandLine.h"
#include "ui/app/MainApp.h"

int main(int argc, char** argv) {
    if (const std::optional<int> exitCode = mopira::CCommandLine::AnswerEarly(argc, argv)) {
        return *exitCode;
    }
    const mopira::ActivationToken token = mopira::ActivationToken::TakeFromEnvironment();
    QApplication application(argc, argv);
    mopira::CMainApp app;
    return app.InitInstance(token);
}
