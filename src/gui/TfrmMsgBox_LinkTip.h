#pragma once
// The tip shown before a local file is chosen as an item's link: such links may not
// work in a browser. Its check box switches the tip off at once.

#include <QDialog>

class QCheckBox;
class QPushButton;

namespace qm {

class IUserDialogs;

class TfrmMsgBox_LinkTip final : public QDialog {
    Q_OBJECT
public:
    // dialogs shows the error of a setting that cannot be written back to true.
    explicit TfrmMsgBox_LinkTip(IUserDialogs& dialogs, QWidget* parent = nullptr);

    static constexpr const char* kSettingsGroup = "Settings";
    static constexpr const char* kSettingName = "ShowLinkTipDialog";

    // Whether the tip is to be shown: the stored setting, true when absent, false when
    // the settings cannot be read.
    static bool ShouldShow();

public slots:
    void chckbxDontShowClick(bool checked);

private:
    IUserDialogs& dialogs_;
    QPushButton* btnOK;
    QCheckBox* chckbxDontShow;
};

}  // namespace qm
