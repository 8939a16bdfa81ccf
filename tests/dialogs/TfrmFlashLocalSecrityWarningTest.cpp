// The Flash local security tip: its text, the focus on OK, the help button and the
// check box that switches the tip off.

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include "support/ErrorLog.h"
#include "env/Settings.h"
#include "support/TemporaryHome.h"
#include "gui/dialogs/TfrmFlashLocalSecrityWarning.h"

namespace qm::test {
namespace {


class TfrmFlashLocalSecrityWarningTest : public ::testing::Test {
protected:
    TfrmFlashLocalSecrityWarning::Host Host() {
        return {[this](QObject* sender) {
                    launches << sender;
                    tagsAtLaunch << (sender ? sender->property("Tag").toInt() : -1);
                    visibleAtLaunch << (tip_ && tip_->isVisible());
                },
                errors.Reporter(), {}};
    }
    template <class T>
    static T* Child(QWidget& window, const char* name) {
        T* child = window.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    static void ShowAndWait(QWidget& window) {
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    TemporaryHome profile_{TemporaryHome::XdgFolders::BesideHome};
    ErrorLog errors;
    QList<QObject*> launches;
    QList<int> tagsAtLaunch;
    QList<bool> visibleAtLaunch;
    QWidget* tip_ = nullptr;  // the tip under test, for the launcher to look at
};

TEST_F(TfrmFlashLocalSecrityWarningTest, ShowsItsCaptionAndTheBoldWrappedTextWordForWord) {
    TfrmFlashLocalSecrityWarning tip(Host());
    EXPECT_EQ(tip.windowTitle(), "Important! -- Flash Local Security Warning Dialog");
    EXPECT_TRUE((tip.windowFlags() & Qt::WindowType_Mask) == Qt::Tool);
    auto* text = Child<QLabel>(tip, "lblTip");
    EXPECT_EQ(text->text(),
              "If Flash Player 8 or later is installed in your web browser, a Flash Local Security Warning dialog may "
              "appear when you preview this menu, or the menu may not seem to work correctly although no such dialog "
              "appears. Simply follow the instructions of the security dialog. To learn more about this, click the "
              "question mark book icon in the lower right corner of this window.");
    EXPECT_EQ(text->textFormat() == Qt::RichText, false);
    EXPECT_TRUE(text->font().bold());
    EXPECT_TRUE(text->wordWrap());
    EXPECT_EQ(Child<QPushButton>(tip, "btnOK")->text(), "OK");
    EXPECT_EQ(Child<QCheckBox>(tip, "chckbxDontShow")->text(), "Do not show this dialog again.");
    EXPECT_FALSE(Child<QCheckBox>(tip, "chckbxDontShow")->isChecked());
}

TEST_F(TfrmFlashLocalSecrityWarningTest, TheHelpButtonSitsAtTheLowerRight) {
    TfrmFlashLocalSecrityWarning tip(Host());
    ShowAndWait(tip);
    const QRect help = Child<QToolButton>(tip, "SpeedButton3")->geometry();
    EXPECT_GT(help.left(), Child<QPushButton>(tip, "btnOK")->geometry().right());
    for (QWidget* other : {static_cast<QWidget*>(Child<QPushButton>(tip, "btnOK")),
                           static_cast<QWidget*>(Child<QCheckBox>(tip, "chckbxDontShow")),
                           static_cast<QWidget*>(Child<QLabel>(tip, "lblTip"))}) {
        EXPECT_GE(help.right(), other->geometry().right()) << other->objectName().toStdString();
        EXPECT_GE(help.bottom(), other->geometry().bottom()) << other->objectName().toStdString();
    }
}

TEST_F(TfrmFlashLocalSecrityWarningTest, OkHasTheFocusEveryTimeTheTipShows) {
    TfrmFlashLocalSecrityWarning tip(Host());
    auto* ok = Child<QPushButton>(tip, "btnOK");
    auto* box = Child<QCheckBox>(tip, "chckbxDontShow");
    ShowAndWait(tip);
    EXPECT_EQ(tip.focusWidget(), ok);
    box->setFocus();
    ASSERT_EQ(tip.focusWidget(), box);
    tip.hide();
    ShowAndWait(tip);
    EXPECT_EQ(tip.focusWidget(), ok);
    // So Return dismisses it.
    QTest::keyClick(&tip, Qt::Key_Return);
    EXPECT_FALSE(tip.isVisible());
    EXPECT_EQ(tip.result(), QDialog::Accepted);
}

TEST_F(TfrmFlashLocalSecrityWarningTest, OkClosesWithTheOkResult) {
    TfrmFlashLocalSecrityWarning tip(Host());
    ShowAndWait(tip);
    Child<QPushButton>(tip, "btnOK")->click();
    EXPECT_FALSE(tip.isVisible());
    EXPECT_EQ(tip.result(), QDialog::Accepted);
    EXPECT_TRUE(launches.isEmpty());
}

TEST_F(TfrmFlashLocalSecrityWarningTest, TheHelpButtonLaunchesHelpWithTagNineWhileTheTipStaysOpen) {
    TfrmFlashLocalSecrityWarning tip(Host());
    tip_ = &tip;
    ShowAndWait(tip);
    auto* help = Child<QToolButton>(tip, "SpeedButton3");
    EXPECT_EQ(help->property("Tag").toInt(), 9);
    QTest::mouseClick(help, Qt::LeftButton);
    ASSERT_EQ(launches.size(), 1);
    EXPECT_EQ(launches[0], help);
    EXPECT_EQ(tagsAtLaunch, QList<int>{9});
    EXPECT_EQ(visibleAtLaunch, QList<bool>{true});
    EXPECT_TRUE(tip.isVisible());
    help->click();
    EXPECT_EQ(launches.size(), 2);
}

TEST_F(TfrmFlashLocalSecrityWarningTest, TheHelpWindowItOpensStaysUsableWhileTheTipIsUp) {
    QWidget mainWindow;
    mainWindow.resize(400, 300);
    mainWindow.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&mainWindow));
    // The help window is a window of its own, shown by the launcher.
    QPushButton helpWindow("Back");
    int helpClicks = 0;
    QObject::connect(&helpWindow, &QPushButton::clicked, [&] { ++helpClicks; });
    TfrmFlashLocalSecrityWarning::Host host = Host();
    host.launchHelp = [&](QObject*) { helpWindow.show(); };

    TfrmFlashLocalSecrityWarning tip(host, &mainWindow);
    bool tipWasUp = false;
    // Runs inside exec() once the modal loop has started, then lets the tip go.
    QTimer::singleShot(0, &tip, [&] {
        tipWasUp = tip.isVisible();
        Child<QToolButton>(tip, "SpeedButton3")->click();
        if (QTest::qWaitForWindowExposed(&helpWindow)) {
            // A click the window system delivers: a window blocked by a modal one drops it.
            QTest::mouseClick(helpWindow.windowHandle(), Qt::LeftButton, {}, helpWindow.rect().center());
        }
        tip.accept();
    });
    tip.exec();
    EXPECT_TRUE(tipWasUp);
    EXPECT_EQ(helpClicks, 1);
}

TEST_F(TfrmFlashLocalSecrityWarningTest, AFailingHelpLauncherIsReported) {
    TfrmFlashLocalSecrityWarning::Host host = Host();
    host.launchHelp = [](QObject*) { throw std::runtime_error("help/faq_flash_local_security_warning_dialog.htm: not found"); };
    TfrmFlashLocalSecrityWarning tip(host);
    ShowAndWait(tip);
    Child<QToolButton>(tip, "SpeedButton3")->click();
    EXPECT_EQ(errors.messages, QStringList{"help/faq_flash_local_security_warning_dialog.htm: not found"});
    EXPECT_TRUE(tip.isVisible());
}

TEST_F(TfrmFlashLocalSecrityWarningTest, TheHelpButtonShowsTheProgramsHelpIcon) {
    QPixmap book(18, 18);
    book.fill(Qt::darkGreen);
    TfrmFlashLocalSecrityWarning::Host host = Host();
    host.helpIcon = QIcon(book);
    TfrmFlashLocalSecrityWarning tip(host);
    const QImage shown = Child<QToolButton>(tip, "SpeedButton3")->icon().pixmap(18, 18).toImage();
    EXPECT_EQ(shown.pixelColor(9, 9), QColor(Qt::darkGreen));
    // Without one a drawn book stands in: the button is never blank.
    TfrmFlashLocalSecrityWarning plain(Host());
    EXPECT_FALSE(Child<QToolButton>(plain, "SpeedButton3")->icon().isNull());
}

TEST_F(TfrmFlashLocalSecrityWarningTest, TheCheckBoxWritesTheSettingAtEveryClick) {
    EXPECT_TRUE(TfrmFlashLocalSecrityWarning::ShouldShow()) << "absent setting reads true";
    TfrmFlashLocalSecrityWarning tip(Host());
    ShowAndWait(tip);
    auto* box = Child<QCheckBox>(tip, "chckbxDontShow");
    box->click();
    EXPECT_FALSE(ReadBoolSetting("ShowFlashLocalSecurityWarningTipDialog", true));
    EXPECT_FALSE(TfrmFlashLocalSecrityWarning::ShouldShow());
    EXPECT_TRUE(ReadBytes(profile_.SettingsFile()).contains("ShowFlashLocalSecurityWarningTipDialog=0"));
    box->click();  // unchecked again in the same showing: the tip is back on
    EXPECT_TRUE(ReadBoolSetting("ShowFlashLocalSecurityWarningTipDialog", false));
    EXPECT_TRUE(TfrmFlashLocalSecrityWarning::ShouldShow());
    // The template chooser's setting is a different one.
    EXPECT_FALSE(ReadBytes(profile_.SettingsFile()).contains("ShowTempletsDialog"));
    EXPECT_TRUE(errors.messages.isEmpty());
}

TEST_F(TfrmFlashLocalSecrityWarningTest, ASettingThatCannotBeWrittenIsReported) {
    TfrmFlashLocalSecrityWarning tip(Host());
    ShowAndWait(tip);
    ASSERT_TRUE(QDir().mkpath(profile_.SettingsFile()));
    Child<QCheckBox>(tip, "chckbxDontShow")->click();
    ASSERT_EQ(errors.messages.size(), 1);
    EXPECT_TRUE(errors.messages[0].startsWith(profile_.SettingsFile() + ": cannot")) << errors.messages[0].toStdString();
}

}  // namespace
}  // namespace qm::test
