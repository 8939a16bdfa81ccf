#include "support/TFakeUserDialogs.h"

#include <QDialog>

namespace qm::test {

QMessageBox::StandardButton TFakeUserDialogs::MessageDlg(QWidget*, const QString& text, TMsgDlgType kind,
                                                         QMessageBox::StandardButtons buttons) {
    messages.push_back({kind, text, buttons});
    if (!messageAnswers.empty()) {
        const auto answer = messageAnswers.front();
        messageAnswers.pop_front();
        return answer;
    }
    for (const auto button : {QMessageBox::Yes, QMessageBox::No, QMessageBox::Ok, QMessageBox::Cancel})
        if (buttons.testFlag(button)) return button;
    return QMessageBox::NoButton;
}

int TFakeUserDialogs::Ask(QWidget*, const TQuestion& question) {
    questions.push_back(question);
    if (choiceAnswers.empty()) return question.defaultChoice;
    const int answer = choiceAnswers.front();
    choiceAnswers.pop_front();
    return answer;
}

void TFakeUserDialogs::ShowApplicationError(QWidget*, const QString& text) {
    errors << text;
}

QString TFakeUserDialogs::GetOpenFileName(QWidget*, const QString& title, const QString& filter,
                                          const QString& initialFolder) {
    fileDialogs.push_back({false, title, filter, initialFolder, false});
    if (openAnswers.empty()) return {};
    const QString answer = openAnswers.front();
    openAnswers.pop_front();
    return answer;
}

QString TFakeUserDialogs::GetSaveFileName(QWidget*, const QString& title, const QString& filter,
                                          const QString& initialFolder, bool confirmReplace) {
    fileDialogs.push_back({true, title, filter, initialFolder, confirmReplace});
    if (saveAnswers.empty()) return {};
    const QString answer = saveAnswers.front();
    saveAnswers.pop_front();
    return answer;
}

QString TFakeUserDialogs::GetExistingDirectory(QWidget*, const QString& title, const QString&) {
    folderDialogs.push_back(title);
    if (folderAnswers.empty()) return {};
    const QString answer = folderAnswers.front();
    folderAnswers.pop_front();
    return answer;
}

std::optional<QColor> TFakeUserDialogs::ChooseColor(QWidget*, const QColor& initial) {
    colourRequests.push_back(initial);
    if (colourAnswers.empty()) return std::nullopt;
    const auto answer = colourAnswers.front();
    colourAnswers.pop_front();
    return answer;
}

void TFakeUserDialogs::OpenWithShell(const QString& pathOrUrl) {
    opened << pathOrUrl;
}

int TFakeUserDialogs::ExecModal(QDialog& dialog) {
    modalWindows << dialog.objectName();
    if (modalAnswers.empty()) return QDialog::Rejected;
    auto answer = std::move(modalAnswers.front());
    modalAnswers.pop_front();
    return answer(dialog);
}

QStringList TFakeUserDialogs::MessageTexts() const {
    QStringList texts;
    for (const auto& message : messages) texts << message.text;
    return texts;
}

void TFakeUserDialogs::Clear() {
    messages.clear();
    questions.clear();
    errors.clear();
    fileDialogs.clear();
    colourRequests.clear();
    opened.clear();
    modalWindows.clear();
}

}  // namespace qm::test
