#pragma once
// Everything the window asks the user through a modal box or a file dialog goes through
// this interface, so that tests can answer in place of a person. The window keeps the
// dialog texts and filters as its users see them; TQtUserDialogs turns them into Qt's
// standard dialogs.

#include <QColor>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <optional>

class QDialog;
class QWidget;

namespace qm {

// The kind of a message box, which is also its caption ("Warning", "Error",
// "Information", "Confirm").
enum class TMsgDlgType { Warning, Error, Information, Confirmation };

QString CaptionOfMessageKind(TMsgDlgType kind);

// A question whose buttons say what they do ("Reload", "Keep Mine") rather than Yes
// and No.
struct TQuestion {
    TMsgDlgType kind = TMsgDlgType::Warning;
    QString text;
    QStringList choices;     // the buttons' captions, in reading order
    int defaultChoice = 0;   // the one Enter chooses
    int closedChoice = -1;   // the answer when the box is closed without a button; -1: the last
};

class IUserDialogs {
public:
    virtual ~IUserDialogs() = default;

    // Shows text in a modal box of the given kind with the given buttons and returns the
    // button chosen. Closing the box without a button returns Cancel when it is offered,
    // otherwise No, otherwise the only button.
    virtual QMessageBox::StandardButton MessageDlg(QWidget* parent, const QString& text, TMsgDlgType kind,
                                                   QMessageBox::StandardButtons buttons) = 0;

    // Asks a question and returns the index of the choice made.
    virtual int Ask(QWidget* parent, const TQuestion& question) = 0;

    // The application's error box: captioned "Quillamere", an OK button.
    virtual void ShowApplicationError(QWidget* parent, const QString& text) = 0;

    // File dialogs, titled title. filter uses the "Description|pattern;pattern|..." form;
    // an empty initialFolder leaves the dialog where it was last. They return the chosen
    // path, or an empty string when the user cancels. confirmReplace asks before an
    // existing file is chosen as a save target.
    virtual QString GetOpenFileName(QWidget* parent, const QString& title, const QString& filter,
                                    const QString& initialFolder) = 0;
    virtual QString GetSaveFileName(QWidget* parent, const QString& title, const QString& filter,
                                    const QString& initialFolder, bool confirmReplace) = 0;

    // A folder chooser, titled title, starting in initialFolder; the chosen folder, or an
    // empty string when the user cancels.
    virtual QString GetExistingDirectory(QWidget* parent, const QString& title, const QString& initialFolder) = 0;

    // The colour dialog preset to initial; nullopt when the user cancels.
    virtual std::optional<QColor> ChooseColor(QWidget* parent, const QColor& initial) = 0;

    // Hands a file path or a web address to the desktop to open with its program.
    virtual void OpenWithShell(const QString& pathOrUrl) = 0;

    // Runs a secondary window modally and returns its result (QDialog::exec's).
    virtual int ExecModal(QDialog& dialog) = 0;
};

// "Quillamere Files (*.zorbel)|*.zorbel" -> "Quillamere Files (*.zorbel)" as Qt's file
// dialogs want it; several pairs are joined with ";;".
QString ToQtFileFilter(const QString& filter);

}  // namespace qm
