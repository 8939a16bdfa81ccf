#pragma once
// The browser choice window (Option > Web Browser...): the default browser, a browser
// found on this system, or a program the user names; kept in the KVX branch's
// "Web Browsers" group. OpenPage opens a page with the choice shown in the controls.
//
// Every creation detects the browsers again and loads the stored choice; only OK
// stores it. Nothing here reports a failure to the user: a store that cannot be read
// or written is ignored, and a browser that cannot be started shows nothing.

#include <QDialog>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class QRadioButton;
class QComboBox;
class QLineEdit;
class QToolButton;
class QPushButton;
class QKeyEvent;
class QShowEvent;

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
    // launch does nothing visible. The default browser is asked through the desktop
    // (xdg-open on Linux); a known or named browser is started on its own, without a
    // shell, with the page path as its one argument, so blanks in it do no harm. With
    // "Use Known Browser in System" checked but nothing selected in the list, the
    // default browser opens the page.
    void OpenPage(const QString& folder, const QString& fileName);

    const std::vector<TWebBrowserNamePath>& KnownBrowsers() const { return knownBrowsers_; }

    // The browsers this system offers, in an order that is the same on every call while
    // the installed programs stay the same (a stored list index refers to it). Linux:
    // the browsers found on PATH, in a fixed order of well-known programs, a program
    // reached under two names listed once. Windows: the registry's install locations.
    static std::vector<TWebBrowserNamePath> DetectBrowsers();

    // The file dialog of the "..." button: returns the chosen file's full path, or an
    // empty text when the user cancels. Tests answer it through SetExeFileChooser; an
    // empty chooser restores the standard dialog.
    using ExeFileChooser = std::function<QString(QWidget* parent, const QString& caption, const QString& filter)>;
    static void SetExeFileChooser(ExeFileChooser chooser);

    // Controls, found by these object names: RadioButtonBrowserDefault,
    // RadioButtonBrowserKnownInSystem, ComboBoxBrowserList, RadioButtonBrowserUserSpecify,
    // editSpecifiedBrowserFileName, spdbtnOpenExeFile, bitbtnOk, bitbtnCancel.

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private slots:
    void bitbtnOkClick();
    void spdbtnOpenExeFileClick();
    void ComboBoxBrowserListChange(int index);
    void RadioButtonBrowserKnownInSystemClick();

private:
    void BuildControls();
    void FormCreate();
    void LoadChoice();
    void StoreChoice();
    void FormKeyPress(QKeyEvent* event);

    std::vector<TWebBrowserNamePath> knownBrowsers_;
    QRadioButton* radioDefault_ = nullptr;
    QRadioButton* radioKnown_ = nullptr;
    QComboBox* browserList_ = nullptr;
    QRadioButton* radioSpecified_ = nullptr;
    QLineEdit* exePathEdit_ = nullptr;
    QToolButton* openExeButton_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};

}  // namespace qm
