// The benchmarks run with a QApplication on the offscreen platform, so the window's costs
// are measured without a screen.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "ui/platform/Fonts.h"

namespace {

QtMessageHandler g_defaultHandler = nullptr;

// The offscreen platform warns at every window shown that it cannot pass on size hints;
// those lines would bury the results.
void DropSizeHintWarnings(QtMsgType type, const QMessageLogContext& context,
                          const QString& message) {
    if (!message.contains(QLatin1String("propagateSizeHints"))) {
        g_defaultHandler(type, context, message);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    g_defaultHandler = qInstallMessageHandler(DropSizeHintWarnings);
    QApplication application(argc, argv);
    mopira::InstallFontSubstitutes();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
