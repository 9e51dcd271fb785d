#include "ui/app/CommandLine.h"

#include <QCoreApplication>
#include <cstdio>
#include <vector>

#include "core/library/DictionaryExport.h"
#include "ui/app/DictionaryCommand.h"
#include "ui/app/SingleInstance.h"

namespace mopira {

CCommandLine::CCommandLine()
    : m_optHelp(m_parser.addHelpOption()),
      m_optVersion(m_parser.addVersionOption()),
      m_optDataDir(QStringLiteral("data-dir"),
                   QStringLiteral("Keep the library, the parts files and the help in <dir> "
                                  "instead of the usual data folder."),
                   QStringLiteral("dir")),
      m_optToggle(QStringLiteral("toggle"),
                  QStringLiteral("Hide the running window when it is in front, else bring it "
                                 "to the front; start the program when none runs.")),
      m_optShow(QStringLiteral("show"),
                QStringLiteral("Bring the running window to the front; start the program when "
                               "none runs.")),
      m_optHide(QStringLiteral("hide"),
                QStringLiteral("Hide the running window; when none runs, do nothing.")),
      m_optExportDictionary(
          QStringLiteral("export-dictionary"),
          QStringLiteral("Write the library as an input method's user dictionary to <file> and "
                         "end, without a window. <format>: mozc, ms-ime, quickphrase or skk."),
          QStringLiteral("format")) {
    m_parser.setApplicationDescription(
        QStringLiteral("A palette of Japanese emoticons (kaomoji)."));
    m_parser.addOption(m_optDataDir);
    m_parser.addOption(m_optToggle);
    m_parser.addOption(m_optShow);
    m_parser.addOption(m_optHide);
    m_parser.addOption(m_optExportDictionary);
    m_parser.addPositionalArgument(QStringLiteral("file"),
                                   QStringLiteral("With --export-dictionary: the file to write."),
                                   QStringLiteral("[file]"));
}

std::optional<int> CCommandLine::Parse(const QStringList& arguments) {
    m_strMessage.clear();
    if (!m_parser.parse(arguments)) {
        return Refuse(m_parser.errorText());
    }
    if (m_parser.isSet(m_optHelp) || m_parser.isSet(QStringLiteral("help-all"))) {
        m_strMessage = m_parser.helpText();
        return kExitOk;
    }
    if (m_parser.isSet(m_optVersion)) {
        m_strMessage = QStringLiteral("%1 %2\n").arg(QCoreApplication::applicationName(),
                                                     QStringLiteral(MOPIRA_VERSION));
        return kExitOk;
    }
    if (m_parser.isSet(m_optExportDictionary)) {
        const QString format = m_parser.value(m_optExportDictionary);
        if (!ParseDictionaryFormat(format.toStdString())) {
            return Refuse(QStringLiteral("Unknown dictionary format '%1': give mozc, ms-ime, "
                                         "quickphrase or skk.")
                              .arg(format));
        }
        if (m_parser.positionalArguments().size() != 1) {
            return Refuse(QStringLiteral("Option 'export-dictionary' needs one file to write."));
        }
    } else if (!m_parser.positionalArguments().isEmpty()) {
        return Refuse(QStringLiteral("Unexpected argument '%1'.")
                          .arg(m_parser.positionalArguments().constFirst()));
    }
    if (m_parser.isSet(m_optDataDir) && DataDir().isEmpty()) {
        return Refuse(QStringLiteral("Option 'data-dir' needs a folder."));
    }
    const int requests = int(m_parser.isSet(m_optToggle)) + int(m_parser.isSet(m_optShow)) +
                         int(m_parser.isSet(m_optHide));
    if (requests > 1) {
        return Refuse(QStringLiteral("Give only one of '--toggle', '--show' and '--hide'."));
    }
    return std::nullopt;
}

int CCommandLine::Refuse(const QString& reason) {
    const QString name = QCoreApplication::applicationName();
    m_strMessage =
        QStringLiteral("%1: %2\nTry '%1 --help' for more information.\n").arg(name, reason);
    return kExitUsage;
}

void CCommandLine::PrintMessage(int exitCode) const {
    std::FILE* stream = exitCode == kExitOk ? stdout : stderr;
    std::fputs(m_strMessage.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

QString CCommandLine::DataDir() const {
    return m_parser.value(m_optDataDir);
}

std::optional<CCommandLine::DictionaryRequest> CCommandLine::Dictionary() const {
    if (!m_parser.isSet(m_optExportDictionary)) {
        return std::nullopt;
    }
    return DictionaryRequest{m_parser.value(m_optExportDictionary),
                             m_parser.positionalArguments().value(0)};
}

QByteArray CCommandLine::WindowMessage() const {
    if (m_parser.isSet(m_optToggle)) {
        return CSingleInstance::kToggle;
    }
    if (m_parser.isSet(m_optShow)) {
        return CSingleInstance::kShow;
    }
    if (m_parser.isSet(m_optHide)) {
        return CSingleInstance::kHide;
    }
    return CSingleInstance::kActivate;
}

std::optional<int> CCommandLine::AnswerEarly(int argc, char** argv) {
    // QCoreApplication may take arguments out of the array; the real one stays whole for the
    // application object that follows.
    std::vector<char*> copy(argv, argv + argc);
    int count = argc;
    const QCoreApplication core(count, copy.data());
    CCommandLine commandLine;
    const std::optional<int> exitCode = commandLine.Parse(QCoreApplication::arguments());
    const std::optional<DictionaryRequest> dictionary = commandLine.Dictionary();
    if (dictionary && !exitCode) {
        return ExportDictionaryCommand(commandLine.DataDir(),
                                       *ParseDictionaryFormat(dictionary->format.toStdString()),
                                       dictionary->file);
    }
    if (exitCode != kExitOk && !dictionary) {
        return std::nullopt;
    }
    commandLine.PrintMessage(*exitCode);
    return exitCode;
}

}  // namespace mopira
