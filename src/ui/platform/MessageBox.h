#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <memory>

class QMessageBox;
class QWidget;

namespace mopira {

enum class MessageButtons { Ok, YesNo };
enum class MessageIcon { None, Stop, Question, Warning, Information };
enum class MessageAnswer { Ok, Yes, No };

// Every message box of the program goes through here: modal over `parent`, captioned with the
// application's name (the executable's base name).
MessageAnswer ShowMessage(QWidget* parent, const QString& text,
                          MessageButtons buttons = MessageButtons::Ok,
                          MessageIcon icon = MessageIcon::None);

// A question whose two answers have captions of their own: `yes` answers Yes and is the
// default, `no` answers No.
MessageAnswer ShowChoice(QWidget* parent, const QString& text, const QString& yes,
                         const QString& no, MessageIcon icon = MessageIcon::Question);

// The box ShowMessage runs, not yet shown. Its text is plain: an emoticon such as
// "<b>(^_^)</b>" shows as typed. Its buttons carry their Japanese captions whether or not
// Qt's own translation is installed.
std::unique_ptr<QMessageBox> CreateMessageBox(QWidget* parent, const QString& text,
                                              MessageButtons buttons, MessageIcon icon);

// Lets tests answer message boxes without showing them. While installed, every box is
// recorded and answered from the queue (Ok, or No for a question, when the queue is empty).
class CMessageBoxSeam {
public:
    CMessageBoxSeam();
    ~CMessageBoxSeam();
    CMessageBoxSeam(const CMessageBoxSeam&) = delete;
    CMessageBoxSeam& operator=(const CMessageBoxSeam&) = delete;

    void AnswerNext(MessageAnswer answer) { m_answers.push_back(answer); }
    const QStringList& Shown() const { return m_shown; }
    QList<MessageIcon> Icons() const { return m_icons; }
    void ClearShown() {
        m_shown.clear();
        m_icons.clear();
    }

private:
    friend MessageAnswer ShowMessage(QWidget*, const QString&, MessageButtons, MessageIcon);
    friend MessageAnswer ShowChoice(QWidget*, const QString&, const QString&, const QString&,
                                    MessageIcon);
    // Records a box; the answer from the queue, or `otherwise`.
    MessageAnswer Answer(const QString& text, MessageIcon icon, MessageAnswer otherwise);

    std::deque<MessageAnswer> m_answers;
    QStringList m_shown;
    QList<MessageIcon> m_icons;
};

}  // namespace mopira
