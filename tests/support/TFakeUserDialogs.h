#pragma once
// Answers the window's dialogs in place of a person and records what was asked.
// Answers are queued per kind; a box with no queued answer gets its first offered
// button (in the order Yes, No, OK, Cancel), a file dialog with none is cancelled, a
// colour dialog with none is cancelled, and a modal window with none is closed at once.

#include <QColor>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "gui/IUserDialogs.h"

namespace qm::test {

struct TShownMessage {
    TMsgDlgType kind;
    QString text;
    QMessageBox::StandardButtons buttons;
};

struct TFileDialogCall {
    bool save;
    QString title;
    QString filter;
    QString initialFolder;
    bool confirmReplace;
};

class TFakeUserDialogs final : public IUserDialogs {
public:
    QMessageBox::StandardButton MessageDlg(QWidget* parent, const QString& text, TMsgDlgType kind,
                                           QMessageBox::StandardButtons buttons) override;
    int Ask(QWidget* parent, const TQuestion& question) override;
    void ShowApplicationError(QWidget* parent, const QString& text) override;
    QString GetOpenFileName(QWidget* parent, const QString& title, const QString& filter,
                            const QString& initialFolder) override;
    QString GetSaveFileName(QWidget* parent, const QString& title, const QString& filter, const QString& initialFolder,
                            bool confirmReplace) override;
    QString GetExistingDirectory(QWidget* parent, const QString& title, const QString& initialFolder) override;
    std::optional<QColor> ChooseColor(QWidget* parent, const QColor& initial) override;
    void OpenWithShell(const QString& pathOrUrl) override;
    int ExecModal(QDialog& dialog) override;

    // Scripted answers, used in order.
    std::deque<QMessageBox::StandardButton> messageAnswers;
    std::deque<int> choiceAnswers;  // a question with none gets its default choice
    std::deque<QString> openAnswers;  // an empty string cancels
    std::deque<QString> saveAnswers;
    std::deque<QString> folderAnswers;  // an empty string cancels
    std::deque<std::optional<QColor>> colourAnswers;
    // Runs with the modal window instead of a person; returns its result.
    std::deque<std::function<int(QDialog&)>> modalAnswers;

    // What was asked.
    std::vector<TShownMessage> messages;
    std::vector<TQuestion> questions;
    QStringList errors;  // the application's error box
    std::vector<TFileDialogCall> fileDialogs;
    std::vector<QColor> colourRequests;
    QStringList opened;  // handed to the desktop
    QStringList folderDialogs;  // the folder choosers' titles
    QStringList modalWindows;  // object names of the modal windows shown

    QStringList MessageTexts() const;
    void Clear();
};

}  // namespace qm::test
