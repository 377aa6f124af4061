#include "shell/qt_dialogs.h"

#include <QGuiApplication>
#include <QMessageBox>

namespace kestro::shell {

std::string toDisplayText(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;  // the line feed that follows ends the line
        }
        out += text[i];
    }
    return out;
}

int QtTrapDialog::ask(const std::string& title, const std::string& text) {
    QMessageBox box(QMessageBox::Critical, QString::fromStdString(title),
                    QString::fromStdString(toDisplayText(text)),
                    QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Retry);
    box.setWindowModality(Qt::ApplicationModal);
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    switch (box.exec()) {
        case QMessageBox::Abort:
            return kAnswerAbort;
        case QMessageBox::Retry:
            return kAnswerRetry;
        case QMessageBox::Ignore:
            return kAnswerIgnore;
        default:
            return 0;
    }
}

void QtMessagePrompt::showMessage(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, QGuiApplication::applicationDisplayName(),
                    QString::fromStdString(toDisplayText(text)), QMessageBox::Ok, parent_);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

}  // namespace kestro::shell
