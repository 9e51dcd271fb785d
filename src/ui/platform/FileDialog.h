#pragma once

#include <QString>
#include <QStringList>
#include <deque>

class QWidget;

namespace mopira {

enum class FileDialogMode { Open, Save };

// Every file dialog of the program goes through here: a file to read (it must exist) or one
// to write (replacing one is confirmed by the dialog). The dialog starts on `suggested`, a
// folder or a file's path, when given. Returns the path, empty when cancelled.
QString AskFileName(QWidget* parent, FileDialogMode mode, const QString& caption,
                    const QString& filter, const QString& suggested = {});

// Lets tests answer file dialogs without showing them. While installed, every dialog is
// recorded by its caption and answered from the queue (cancelled when the queue is empty).
class CFileDialogSeam {
public:
    CFileDialogSeam();
    ~CFileDialogSeam();
    CFileDialogSeam(const CFileDialogSeam&) = delete;
    CFileDialogSeam& operator=(const CFileDialogSeam&) = delete;

    void AnswerNext(const QString& path) { m_answers.push_back(path); }
    const QStringList& Shown() const { return m_shown; }

private:
    friend QString AskFileName(QWidget*, FileDialogMode, const QString&, const QString&,
                               const QString&);

    std::deque<QString> m_answers;
    QStringList m_shown;
    CFileDialogSeam* m_previous;
};

}  // namespace mopira
