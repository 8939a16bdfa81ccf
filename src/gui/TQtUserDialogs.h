#pragma once
// The real dialogs: QMessageBox, QFileDialog and QColorDialog.

#include <memory>

#include "gui/IUserDialogs.h"

namespace qm {

class TQtUserDialogs final : public IUserDialogs {
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

    // The one instance the program uses when nobody hands the window another.
    static IUserDialogs& Instance();

private:
    QString lastFolder_;
};

// The box Ask shows: the question's caption and icon by its kind, one button per
// choice with the choice's index as its property "choice".
std::unique_ptr<QMessageBox> MakeQuestionBox(QWidget* parent, const TQuestion& question);

}  // namespace qm
