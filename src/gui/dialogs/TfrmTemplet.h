#pragma once
// The template chooser: offers the projects saved in the templates folder, and after
// them the sample projects shipped with the program, as the start of a new project. A
// template is an ordinary project file; choosing one opens its content as a new,
// untitled project (the template itself is never the file that Save writes).
//
// OK or a double click opens the selected template through the host; Cancel starts a
// new empty project through the host; Escape only closes the window. The check box
// "Do not show this dialog again." stands for the negation of the setting
// "ShowTempletsDialog" and writes it the moment it is clicked.
//
// exec() returns Accepted after OK or a double click, Rejected after Cancel or Escape.

#include <QDialog>

#include <functional>

#include "gui/dialogs/DialogErrors.h"

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace qm {

class TfrmTemplet final : public QDialog {
    Q_OBJECT
public:
    // What the chooser asks of the window that shows it (the main window).
    struct Host {
        // Opens a template by its full path as a new untitled project, asking first
        // whether to save a changed document (the main window's OpenTemplate).
        std::function<void(const QString& fileName)> openTemplate;
        // Starts a new project (the main window's New command).
        std::function<void()> newProject;
        // Shows a message in the application's error box.
        ErrorReporter showError;
        // The folder of the shipped sample projects, ending in "/"; empty for none. A
        // missing folder lists nothing.
        QString samplesFolder;
    };

    static constexpr const char* kSettingName = "ShowTempletsDialog";
    static constexpr const char* kFileMask = "*.zorbel";
    static constexpr const char* kCannotCreateFolder = "Cannot create template folder!";
    static constexpr const char* kSampleMark = " (sample)";

    // Builds the window and lists the templates folder (GetTemplatesFolder), creating
    // the folder when it is missing, by file name; then the samples, each as
    // "<file name> (sample)". A failure while doing so (the folder cannot be
    // created: "Cannot create template folder!"; the per-user data folder cannot be
    // found or made: its own message) is passed to host.showError before the constructor
    // returns, and the window is complete all the same, with an empty list. Nothing is
    // thrown.
    explicit TfrmTemplet(Host host, QWidget* parent = nullptr);

    // Whether the chooser is to be shown at start-up: the setting "ShowTempletsDialog",
    // true when absent. Throws qm::Error as ReadBoolSetting does.
    static bool ShouldShowAtStart();

    // The templates folder the list shows, ending in "/"; empty when there was none.
    const QString& Folder() const { return folder_; }
    // The full path of the selected template; empty when no entry is selected.
    QString SelectedFile() const;

public slots:
    // OK: opens the selected template, if any, then closes with Accepted.
    void BitBtn1Click();
    // Cancel: starts a new project, then closes with Rejected.
    void BitBtn2Click();
    // Opens the selected template, if any, then closes with Accepted. A double click on
    // the list calls it with the entry under the mouse selected, or with none selected
    // when the click hit no entry.
    void TempletListDblClick();
    // Writes "ShowTempletsDialog" as !checked at once; a failure goes to showError.
    void chckbxDontShowClick(bool checked);

protected:
    // Presets the check box from the setting each time the window is shown: checked
    // exactly when "ShowTempletsDialog" (default true) reads false. A setting that
    // cannot be read leaves the box unchecked and is reported.
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FillList();
    void AddEntries(const QString& folder, const QString& mark);
    void OpenSelected();

    Host host_;
    QString folder_;
    QListWidget* TempletList;
    QLabel* lblPrompt;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;
    QCheckBox* chckbxDontShow;
};

}  // namespace qm
