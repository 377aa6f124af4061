#include "shell/qt_dialogs.h"

#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QStringList>

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

std::optional<std::string> QtFileDialog::askSavePath(const std::string& folder) {
    return ask(true, folder);
}

std::optional<std::string> QtFileDialog::askOpenPath(const std::string& folder) {
    return ask(false, folder);
}

std::optional<std::string> QtFileDialog::ask(bool save, const std::string& folder) {
    QFileDialog dialog(parent_, QString::fromUtf8(kFileDialogTitle),
                       QString::fromStdString(folder));
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setNameFilters({QStringLiteral("Save File (*.egf)"), QStringLiteral("All files (*)")});
    if (save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(QStringLiteral("egf"));
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    // The path as the file system spells it, whatever the characters of its name.
    return QFile::encodeName(dialog.selectedFiles().constFirst()).toStdString();
}

}  // namespace kestro::shell
