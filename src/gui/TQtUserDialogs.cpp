#include "gui/TQtUserDialogs.h"

#include <QColorDialog>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QPushButton>
#include <QStringList>
#include <QUrl>

namespace qm {

QString CaptionOfMessageKind(TMsgDlgType kind) {
    switch (kind) {
    case TMsgDlgType::Warning: return QStringLiteral("Warning");
    case TMsgDlgType::Error: return QStringLiteral("Error");
    case TMsgDlgType::Information: return QStringLiteral("Information");
    case TMsgDlgType::Confirmation: return QStringLiteral("Confirm");
    }
    return {};
}

QString ToQtFileFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        const qsizetype open = description.indexOf(QLatin1Char('('));
        if (open >= 0) description = description.left(open);
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        entries << description.trimmed() + QStringLiteral(" (") + patterns.trimmed() + QLatin1Char(')');
    }
    return entries.join(QStringLiteral(";;"));
}

namespace {

QMessageBox::Icon IconOf(TMsgDlgType kind) {
    switch (kind) {
    case TMsgDlgType::Warning: return QMessageBox::Warning;
    case TMsgDlgType::Error: return QMessageBox::Critical;
    case TMsgDlgType::Information: return QMessageBox::Information;
    case TMsgDlgType::Confirmation: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

QMessageBox::StandardButton TQtUserDialogs::MessageDlg(QWidget* parent, const QString& text, TMsgDlgType kind,
                                                       QMessageBox::StandardButtons buttons) {
    QMessageBox box(IconOf(kind), CaptionOfMessageKind(kind), text, buttons, parent);
    const int result = box.exec();
    const auto chosen = static_cast<QMessageBox::StandardButton>(result);
    if (buttons.testFlag(chosen)) return chosen;
    if (buttons.testFlag(QMessageBox::Cancel)) return QMessageBox::Cancel;
    if (buttons.testFlag(QMessageBox::No)) return QMessageBox::No;
    return static_cast<QMessageBox::StandardButton>(static_cast<int>(buttons));
}

std::unique_ptr<QMessageBox> MakeQuestionBox(QWidget* parent, const TQuestion& question) {
    auto box = std::make_unique<QMessageBox>(IconOf(question.kind), CaptionOfMessageKind(question.kind), question.text,
                                             QMessageBox::NoButton, parent);
    const int closed = question.closedChoice < 0 ? static_cast<int>(question.choices.size()) - 1 : question.closedChoice;
    for (int i = 0; i < question.choices.size(); ++i) {
        // Roles keep the platform's order of the buttons: the one closing the box as
        // the rejecting one, the others as actions.
        QPushButton* button = box->addButton(question.choices[i], i == closed ? QMessageBox::RejectRole : QMessageBox::AcceptRole);
        button->setProperty("choice", i);
        if (i == question.defaultChoice) box->setDefaultButton(button);
        if (i == closed) box->setEscapeButton(button);
    }
    return box;
}

int TQtUserDialogs::Ask(QWidget* parent, const TQuestion& question) {
    const auto box = MakeQuestionBox(parent, question);
    box->exec();
    const QAbstractButton* clicked = box->clickedButton();
    if (clicked) return clicked->property("choice").toInt();
    return question.closedChoice < 0 ? static_cast<int>(question.choices.size()) - 1 : question.closedChoice;
}

void TQtUserDialogs::ShowApplicationError(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Quillamere"), text, QMessageBox::Ok, parent);
    box.exec();
}

QString TQtUserDialogs::GetOpenFileName(QWidget* parent, const QString& title, const QString& filter,
                                        const QString& initialFolder) {
    const QString folder = initialFolder.isEmpty() ? lastFolder_ : initialFolder;
    const QString chosen = QFileDialog::getOpenFileName(parent, title, folder, ToQtFileFilter(filter));
    if (!chosen.isEmpty()) lastFolder_ = QFileInfo(chosen).absolutePath();
    return chosen;
}

QString TQtUserDialogs::GetSaveFileName(QWidget* parent, const QString& title, const QString& filter,
                                        const QString& initialFolder, bool confirmReplace) {
    const QString folder = initialFolder.isEmpty() ? lastFolder_ : initialFolder;
    QFileDialog::Options options;
    if (!confirmReplace) options |= QFileDialog::DontConfirmOverwrite;
    const QString chosen = QFileDialog::getSaveFileName(parent, title, folder, ToQtFileFilter(filter), nullptr, options);
    if (!chosen.isEmpty()) lastFolder_ = QFileInfo(chosen).absolutePath();
    return chosen;
}

QString TQtUserDialogs::GetExistingDirectory(QWidget* parent, const QString& title, const QString& initialFolder) {
    const QString chosen =
        QFileDialog::getExistingDirectory(parent, title, initialFolder.isEmpty() ? lastFolder_ : initialFolder);
    if (!chosen.isEmpty()) lastFolder_ = chosen;
    return chosen;
}

std::optional<QColor> TQtUserDialogs::ChooseColor(QWidget* parent, const QColor& initial) {
    const QColor chosen = QColorDialog::getColor(initial, parent);
    if (!chosen.isValid()) return std::nullopt;
    return chosen;
}

void TQtUserDialogs::OpenWithShell(const QString& pathOrUrl) {
    const QUrl url = QUrl::fromUserInput(pathOrUrl, {}, QUrl::AssumeLocalFile);
    QDesktopServices::openUrl(url);
}

int TQtUserDialogs::ExecModal(QDialog& dialog) {
    return dialog.exec();
}

IUserDialogs& TQtUserDialogs::Instance() {
    static TQtUserDialogs dialogs;
    return dialogs;
}

}  // namespace qm
