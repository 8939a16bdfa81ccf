#pragma once
// The browser choice window (Option > Web Browser...): the default browser, a browser
// found on this system, or a program the user names; kept in the KVX branch's
// "Web Browsers" group. OpenPage opens a page with the choice shown in the controls.

#include <QDialog>
#include <QString>
#include <QStringList>
#include <vector>

class QRadioButton;
class QComboBox;
class QLineEdit;
class QToolButton;
class QPushButton;

namespace qm {

struct TWebBrowserNamePath {
    QString name;
    QString path;
};

class TformWebBrowser : public QDialog {
    Q_OBJECT
public:
    explicit TformWebBrowser(QWidget* parent = nullptr);

    // Opens folder + fileName (joined as they are) with the chosen browser; a failed
    // launch does nothing visible.
    void OpenPage(const QString& folder, const QString& fileName);

    const std::vector<TWebBrowserNamePath>& KnownBrowsers() const { return knownBrowsers_; }

    // ... controls named RadioButtonBrowserDefault, RadioButtonBrowserKnownInSystem,
    // ComboBoxBrowserList, RadioButtonBrowserUserSpecify, editSpecifiedBrowserFileName,
    // spdbtnOpenExeFile, bitbtnOk, bitbtnCancel (the environment layer completes this).

private:
    std::vector<TWebBrowserNamePath> knownBrowsers_;
};

}  // namespace qm
