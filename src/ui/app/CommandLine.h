#pragma once

#include <QByteArray>
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <optional>

namespace mopira {

// The program's options. Help, version and a bad command line end the program at once with
// one of the exit codes below; anything else starts it with the options read.
class CCommandLine {
public:
    static constexpr int kExitOk = 0;
    // A program runs on the same data folder but does not answer.
    static constexpr int kExitNoAnswer = 1;
    static constexpr int kExitUsage = 2;

    CCommandLine();

    // Reads `arguments`, the program's path first. Returns the exit code when the program must
    // end at once, with Message() holding what to tell the user; nothing when it starts.
    std::optional<int> Parse(const QStringList& arguments);
    // Help or version text for exit code 0, else the complaint.
    const QString& Message() const { return m_strMessage; }
    // Writes Message() to standard output for exit code 0, to standard error otherwise.
    void PrintMessage(int exitCode) const;
    // Tells the user on standard error that the command line cannot be followed.
    int Refuse(const QString& reason);

    // The folder given with --data-dir; empty when none was.
    QString DataDir() const;
    // What this start asks of the window (one of CSingleInstance's messages): to come to the
    // front unless --toggle, --show or --hide says otherwise.
    QByteArray WindowMessage() const;

    // The input method dictionary to write instead of starting, and where.
    struct DictionaryRequest {
        QString format;
        QString file;
    };
    std::optional<DictionaryRequest> Dictionary() const;

    // Answers --help and --version, and writes a dictionary, before the window system starts, so
    // that they work where there is no display. Anything else, errors included, waits for the full
    // parse: the window system's own options are only taken out of the command line when it starts.
    static std::optional<int> AnswerEarly(int argc, char** argv);

private:
    QCommandLineParser m_parser;
    QCommandLineOption m_optHelp;
    QCommandLineOption m_optVersion;
    QCommandLineOption m_optDataDir;
    QCommandLineOption m_optToggle;
    QCommandLineOption m_optShow;
    QCommandLineOption m_optHide;
    QCommandLineOption m_optExportDictionary;
    QString m_strMessage;
};

}  // namespace mopira
