#include "ui/platform/MessageBox.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>

#include "res/StringTable.h"

namespace mopira {

namespace {

CMessageBoxSeam* g_seam = nullptr;

QMessageBox::Icon ToQt(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Stop:
            return QMessageBox::Critical;
        case MessageIcon::Question:
            return QMessageBox::Question;
        case MessageIcon::Warning:
            return QMessageBox::Warning;
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

CMessageBoxSeam::CMessageBoxSeam() {
    g_seam = this;
}

CMessageBoxSeam::~CMessageBoxSeam() {
    g_seam = nullptr;
}

MessageAnswer CMessageBoxSeam::Answer(const QString& text, MessageIcon icon,
                                      MessageAnswer otherwise) {
    m_shown.append(text);
    m_icons.append(icon);
    if (m_answers.empty()) {
        return otherwise;
    }
    const MessageAnswer answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

MessageAnswer ShowMessage(QWidget* parent, const QString& text, MessageButtons buttons,
                          MessageIcon icon) {
    if (g_seam) {
        return g_seam->Answer(
            text, icon, buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok);
    }
    const std::unique_ptr<QMessageBox> box = CreateMessageBox(parent, text, buttons, icon);
    const int result = box->exec();
    if (buttons == MessageButtons::Ok) {
        return MessageAnswer::Ok;
    }
    return result == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}

MessageAnswer ShowChoice(QWidget* parent, const QString& text, const QString& yes,
                         const QString& no, MessageIcon icon) {
    if (g_seam) {
        return g_seam->Answer(text, icon, MessageAnswer::No);
    }
    const std::unique_ptr<QMessageBox> box =
        CreateMessageBox(parent, text, MessageButtons::YesNo, icon);
    box->button(QMessageBox::Yes)->setText(yes);
    box->button(QMessageBox::No)->setText(no);
    return box->exec() == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}

std::unique_ptr<QMessageBox> CreateMessageBox(QWidget* parent, const QString& text,
                                              MessageButtons buttons, MessageIcon icon) {
    auto box = std::make_unique<QMessageBox>(ToQt(icon), QCoreApplication::applicationName(),
                                             QString(), QMessageBox::NoButton, parent);
    // "<b>(^_^)</b>" or "A&lt;B" is an emoticon, not markup.
    box->setTextFormat(Qt::PlainText);
    box->setText(text);
    // The captions Qt's own Japanese translation gives them, also where it is not installed.
    if (buttons == MessageButtons::YesNo) {
        box->addButton(QMessageBox::Yes)->setText(res::kYes.toString());
        box->addButton(QMessageBox::No)->setText(res::kNo.toString());
        box->setDefaultButton(QMessageBox::Yes);
    } else {
        box->addButton(QMessageBox::Ok)->setText(res::kOk.toString());
    }
    return box;
}

}  // namespace mopira
