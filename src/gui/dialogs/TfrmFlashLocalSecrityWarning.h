#pragma once
// The tip shown before a preview: a browser's Flash player may put up its own local
// security dialog for a page opened from disk. Its help button opens the matching help
// page next to the tip; its check box switches the tip off at once.
//
// The check box stands for the negation of the setting
// "ShowFlashLocalSecurityWarningTipDialog" and starts unchecked: the tip is only shown
// while the setting is true. Every click writes the setting, so unchecking the box again
// in the same showing switches the tip back on.

#include <QDialog>
#include <QIcon>

#include <functional>

#include "gui/dialogs/DialogErrors.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QToolButton;

namespace qm {

class TfrmFlashLocalSecrityWarning final : public QDialog {
    Q_OBJECT
public:
    struct Host {
        // The main window's help launcher (SpeedButton_OnClick_LaunchHelpDoc), called with
        // the help button as sender; the button's property "Tag" (9) selects the page.
        std::function<void(QObject* sender)> launchHelp;
        // Shows a message in the application's error box (a setting that cannot be written).
        ErrorReporter showError;
        // The small "question mark book" icon of the program's help buttons; when null a
        // drawn one of the same kind stands in.
        QIcon helpIcon;
    };

    static constexpr const char* kSettingName = "ShowFlashLocalSecurityWarningTipDialog";
    static constexpr int kHelpTag = 9;
    static const QString& TipText();

    // Builds the window; reads and writes nothing.
    explicit TfrmFlashLocalSecrityWarning(Host host, QWidget* parent = nullptr);

    // Whether the tip is to be shown before a preview: the setting, true when absent.
    // Throws qm::Error as ReadBoolSetting does.
    static bool ShouldShow();

public slots:
    // Calls host.launchHelp with SpeedButton3; a failure goes to showError.
    void SpeedButton3Click();
    // Writes the setting as !checked at once; a failure goes to showError.
    void chckbxDontShowClick(bool checked);

protected:
    // The focus goes to OK every time the tip appears, so Enter or Space dismisses it.
    void showEvent(QShowEvent* event) override;

private:
    Host host_;
    QLabel* lblTip;
    QPushButton* btnOK;
    QToolButton* SpeedButton3;
    QCheckBox* chckbxDontShow;
};

}  // namespace qm
