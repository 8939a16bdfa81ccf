// The about box: its texts, and the two link labels that change colour under the mouse
// and open their addresses.

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "gui/dialogs/ProductAddresses.h"
#include "gui/dialogs/TformAbout.h"

namespace qm::test {
namespace {

class TformAboutTest : public ::testing::Test {
protected:
    TformAboutTest() : about_([this](const QString& address) { opened << address; }) {}

    QLabel* Label(const char* name) {
        auto* label = about_.findChild<QLabel*>(QString::fromLatin1(name));
        EXPECT_NE(label, nullptr) << name;
        return label;
    }
    static QColor ColorOf(const QLabel* label) { return label->palette().color(label->foregroundRole()); }
    QColor Link() const { return about_.palette().color(TformAbout::kLinkRole); }
    QColor Hot() const { return about_.palette().color(TformAbout::kHotLinkRole); }
    void Show() {
        about_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&about_));
    }
    // Moves the mouse over a point of a widget the way the window system reports it: to
    // the window, which hands it to the widget under the mouse.
    void MoveOver(QWidget* widget, QPoint at = {}) {
        const QPoint inWidget = at.isNull() ? widget->rect().center() : at;
        // Qt drops a move to where the mouse already is (an earlier test may have left it
        // there), so it first moves one pixel beside the point, within the same widget.
        const QPoint beside = inWidget + QPoint(inWidget.x() > 0 ? -1 : 1, 0);
        QTest::mouseMove(about_.windowHandle(), widget->mapTo(&about_, beside));
        QTest::mouseMove(about_.windowHandle(), widget->mapTo(&about_, inWidget));
    }
    // A point of the window's background, away from every child.
    QPoint Background() {
        for (int y = 2; y < about_.height(); y += 2)
            for (int x = 2; x < about_.width(); x += 2)
                if (!about_.childAt(x, y)) return {x, y};
        ADD_FAILURE() << "no background";
        return {};
    }

    QStringList opened;
    TformAbout about_;
};

TEST_F(TformAboutTest, ShowsTheProductVersionAndCopyright) {
    EXPECT_EQ(about_.windowTitle(), "Quillamere");
    EXPECT_EQ(Label("lblProductName")->text(), "Quillamere");
    EXPECT_TRUE(Label("lblProductName")->font().bold());
    EXPECT_EQ(Label("lblProductVersion")->text(), "Version 1.0");
    EXPECT_EQ(Label("lblCopyright")->text(), QStringLiteral("Copyright \u00A9 2026 Tarnwell. All rights reserved."));
    EXPECT_EQ(Label("lblWebSite")->text(), "Web Site");
    EXPECT_EQ(Label("lblTechSupport")->text(), "Tech Support");
    EXPECT_EQ(Label("lblRevision")->text(), "Rev. 00");
    EXPECT_EQ(Label("Label8")->text(), "https://quillamere.app/");
    EXPECT_EQ(Label("Label10")->text(), "https://quillamere.app/support/");
    EXPECT_EQ(QString::fromLatin1(kHomePageAddress), Label("Label8")->text());
    EXPECT_EQ(QString::fromLatin1(kSupportAddress), Label("Label10")->text());
    EXPECT_FALSE(Label("ProgramIcon")->pixmap().isNull());
}

TEST_F(TformAboutTest, IsALightPageFixedWindowWithOnlyTheSystemMenu) {
    EXPECT_TRUE(about_.autoFillBackground());
    const QColor page = about_.palette().color(QPalette::Base);
    EXPECT_EQ(about_.backgroundRole(), QPalette::Base);
    EXPECT_EQ(ColorOf(Label("lblProductName")), about_.palette().color(QPalette::Text));
    const Qt::WindowFlags flags = about_.windowFlags();
    EXPECT_TRUE(flags & Qt::WindowSystemMenuHint);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowContextHelpButtonHint);
    EXPECT_EQ(about_.minimumSize(), about_.maximumSize());
    const QImage shot = about_.grab().toImage();
    EXPECT_EQ(shot.pixelColor(Background()), page);
}

TEST_F(TformAboutTest, OkClosesWithTheOkResult) {
    Show();
    auto* ok = about_.findChild<QPushButton*>("Button1");
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), "OK");
    ok->click();
    EXPECT_FALSE(about_.isVisible());
    EXPECT_EQ(about_.result(), QDialog::Accepted);
    EXPECT_TRUE(opened.isEmpty());
}

TEST_F(TformAboutTest, LinkLabelsShowTheLinkColourWithAHandCursor) {
    for (const char* name : {"Label8", "Label10"}) {
        EXPECT_EQ(ColorOf(Label(name)), Link()) << name;
        EXPECT_NE(Link(), Hot());
        EXPECT_EQ(Label(name)->cursor().shape(), Qt::PointingHandCursor) << name;
    }
    EXPECT_NE(ColorOf(Label("lblWebSite")), Link());
}

TEST_F(TformAboutTest, ALinkLightsUpUnderTheMouseAndBothGoBackOverTheBackground) {
    Show();
    MoveOver(Label("Label8"));
    EXPECT_EQ(ColorOf(Label("Label8")), Hot());
    EXPECT_EQ(ColorOf(Label("Label10")), Link());

    MoveOver(&about_, Background());
    EXPECT_EQ(ColorOf(Label("Label8")), Link());

    MoveOver(Label("Label10"));
    EXPECT_EQ(ColorOf(Label("Label10")), Hot());
    EXPECT_EQ(ColorOf(Label("Label8")), Link());
    MoveOver(Label("Label8"));
    EXPECT_EQ(ColorOf(Label("Label8")), Hot());

    MoveOver(&about_, Background());
    EXPECT_EQ(ColorOf(Label("Label8")), Link());
    EXPECT_EQ(ColorOf(Label("Label10")), Link());
}

TEST_F(TformAboutTest, MovingOverAPlainLabelCountsAsTheBackground) {
    Show();
    MoveOver(Label("Label10"));
    ASSERT_EQ(ColorOf(Label("Label10")), Hot());
    MoveOver(Label("lblProductVersion"));
    EXPECT_EQ(ColorOf(Label("Label10")), Link());
}

TEST_F(TformAboutTest, ClickingALinkOpensItsAddress) {
    Show();
    QTest::mouseClick(Label("Label8"), Qt::LeftButton);
    EXPECT_EQ(opened, QStringList{"https://quillamere.app/"});
    QTest::mouseClick(Label("Label10"), Qt::LeftButton);
    EXPECT_EQ(opened, (QStringList{"https://quillamere.app/", "https://quillamere.app/support/"}));
    EXPECT_TRUE(about_.isVisible()) << "the about box stays open";
}

TEST_F(TformAboutTest, OnlyAClickOnALinkOpensAnything) {
    Show();
    QTest::mouseClick(Label("lblWebSite"), Qt::LeftButton);
    QTest::mouseClick(&about_, Qt::LeftButton, {}, Background());
    QTest::mouseClick(Label("Label8"), Qt::RightButton);
    EXPECT_TRUE(opened.isEmpty());
}

TEST_F(TformAboutTest, AFailingOpenerDoesNotEscapeTheClick) {
    TformAbout about([](const QString&) { throw std::runtime_error("no browser"); });
    about.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
    auto* link = about.findChild<QLabel*>("Label8");
    ASSERT_NE(link, nullptr);
    QTest::mouseClick(link, Qt::LeftButton);
    EXPECT_TRUE(about.isVisible());
}

}  // namespace
}  // namespace qm::test
