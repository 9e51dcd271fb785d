#include "ui/platform/MessageBox.h"

#include <QCoreApplication>
#include <QMessageBox>

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

MessageAnswer ShowMessage(QWidget* parent, const QString& text, MessageButtons buttons,
                          MessageIcon icon) {
    if (g_seam) {
        g_seam->m_shown.append(text);
        g_seam->m_icons.append(icon);
        if (!g_seam->m_answers.empty()) {
            const MessageAnswer answer = g_seam->m_answers.front();
            g_seam->m_answers.pop_front();
            return answer;
        }
        return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
    }
    QMessageBox box(
        ToQt(icon), QCoreApplication::applicationName(), text,
        buttons == MessageButtons::YesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok,
        parent);
    if (buttons == MessageButtons::YesNo) {
        box.setDefaultButton(QMessageBox::Yes);
    }
    const int result = box.exec();
    if (buttons == MessageButtons::Ok) {
        return MessageAnswer::Ok;
    }
    return result == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}

}  // namespace mopira
