// How the menu tree is drawn: the keys that lead from the view's indexes back to the
// items, rows drawn as the style draws them while each caption's layout is kept, and
// node images drawn once.

#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QPalette>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>

#include "support/WindowTest.h"
#include "gui/IconFactory.h"
#include "gui/NodeKeys.h"
#include "gui/TMenuDocument.h"
#include "gui/TMenuTreeDelegate.h"
#include "gui/TMenuTreeModel.h"

namespace qm::test {
namespace {

TEST(NodeKeysTest, KeysFollowTheirItemsAndAForgottenKeyFindsNothing) {
    NodeKeys keys;
    keys.Reset(4);  // a b c d
    const NodeKeys::Key a = keys.KeyOf(0), b = keys.KeyOf(1), c = keys.KeyOf(2), d = keys.KeyOf(3);
    keys.Erase(1, 2);      // a c d
    keys.Insert(0, 2);     // x y a c d: one of them in b's slot
    keys.Rotate(2, 4, 5);  // x y d a c
    const struct {
        NodeKeys::Key key;
        int item;
    } expected[] = {{a, 3}, {b, -1}, {c, 4}, {d, 2}, {keys.KeyOf(0), 0}, {keys.KeyOf(1), 1},
                    {NodeKeys::kNoItemKey, -1}};
    for (const auto& [key, item] : expected) EXPECT_EQ(keys.ItemOf(key), item) << key;
    EXPECT_NE(keys.KeyOf(0), b);
    EXPECT_NE(keys.KeyOf(1), b);
    keys.Reset(5);
    for (const NodeKeys::Key old : {a, c, d}) EXPECT_EQ(keys.ItemOf(old), -1) << "a new document, new keys";
}

TEST(NodeImagesTest, EachSizeAndStateIsDrawnOnce) {
    const QIcon image = MakeIcon(TIconKind::TreeItem);
    EXPECT_EQ(image.pixmap(18).cacheKey(), image.pixmap(18).cacheKey());
    EXPECT_NE(image.pixmap(18).cacheKey(), image.pixmap(24).cacheKey());
    EXPECT_NE(image.pixmap(18).cacheKey(), image.pixmap(QSize(18, 18), QIcon::Disabled).cacheKey());
    // The browse dots take the text colour of the palette in use.
    const QIcon dots = MakeIcon(TIconKind::Browse);
    const QPalette original = QGuiApplication::palette();
    const QImage before = dots.pixmap(16).toImage();
    QPalette red = original;
    red.setColor(QPalette::ButtonText, Qt::red);
    QGuiApplication::setPalette(red);
    EXPECT_NE(dots.pixmap(16).toImage(), before);
    QGuiApplication::setPalette(original);
    EXPECT_EQ(dots.pixmap(16).toImage(), before);
}

TEST(NodeImagesTest, EveryButtonOfAKindSharesItsDrawings) {
    for (const TIconKind kind : {TIconKind::HelpBook, TIconKind::Browse, TIconKind::Undo}) {
        EXPECT_EQ(MakeIcon(kind).pixmap(18).cacheKey(), MakeIcon(kind).pixmap(18).cacheKey());
        EXPECT_EQ(MakeIcon(kind).pixmap(QSize(24, 24), QIcon::Disabled).cacheKey(),
                  MakeIcon(kind).pixmap(QSize(24, 24), QIcon::Disabled).cacheKey());
    }
    EXPECT_NE(MakeIcon(TIconKind::Undo).pixmap(18).cacheKey(), MakeIcon(TIconKind::Redo).pixmap(18).cacheKey());
}

// The pixels where a and b differ: inside `copied`, where the delegate copies a picture
// of the style's focus frame, by more than one step of a colour (the frame's translucent
// fill is rounded once more); anywhere else, at all.
int PixelsApart(const QImage& a, const QImage& b, const QRect& copied) {
    if (a.size() != b.size()) return -1;
    int apart = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            const int most = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                       std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
            apart += most > (copied.contains(x, y) ? 1 : 0);
        }
    }
    return apart;
}

TEST(TreeDelegateTest, RowsAreDrawnAsTheStyleDrawsThemAlsoAfterAChange) {
    TMenuDocument document;
    TkvxAppletAgent& agent = document.Agent();
    for (const char* caption : {"Harbour", "Caf\xC3\xA9 Quai", "A caption far too long for the tree to show whole",
                                "\xD9\x85\xD8\xB1\xD8\xB3\xD9\x89"})
        agent.SetItemCaption(agent.InsertNewChild(kRootNode), caption);
    agent.SetItemCaption(agent.InsertNewChild(0), "Sailing");
    TMenuTreeModel model(document);
    model.SetNodeImages(MakeIcon(TIconKind::TreeItem), MakeIcon(TIconKind::TreeRoot));
    QTreeView view;
    QFont font = view.font();
    font.setStyleStrategy(QFont::PreferNoShaping);  // as the window's tree
    view.setFont(font);
    view.setHeaderHidden(true);
    view.setIconSize(QSize(18, 18));
    view.setModel(&model);
    view.expandAll();
    view.selectionModel()->select(model.IndexOfNode(1), QItemSelectionModel::Select);
    view.resize(260, 200);
    view.show();
    TMenuTreeDelegate ours([](QLineEdit*) {});
    QStyledItemDelegate styles;
    const auto render = [&view](QAbstractItemDelegate* delegate) {
        view.setItemDelegate(delegate);
        QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        view.render(&image);
        return image;
    };
    const QImage opened = render(&ours);
    const struct {
        const char* what;
        std::function<void()> change;
    } steps[] = {
        {"as opened", [] {}},
        {"drawn again", [] {}},
        {"a caption renamed", [&] { agent.SetItemCaption(0, "Marina"); }},
        {"narrower", [&] { view.resize(150, 200); }},
        {"a row with the keyboard focus", [&] {
             view.setCurrentIndex(model.IndexOfNode(2));
             view.activateWindow();
             view.setFocus();
             QCoreApplication::processEvents();
             ASSERT_TRUE(view.hasFocus());
         }},
        {"another font", [&] {
             QFont larger = view.font();
             larger.setPointSize(larger.pointSize() + 3);
             view.setFont(larger);
         }},
    };
    for (const auto& step : steps) {
        step.change();
        const QRect focused = view.hasFocus() ? view.visualRect(view.currentIndex())
                                                    .translated(view.viewport()->mapTo(&view, QPoint(0, 0)))
                                              : QRect();
        EXPECT_EQ(PixelsApart(render(&ours), render(&styles), focused), 0) << step.what;
    }
    EXPECT_NE(render(&ours), opened);
}

}  // namespace
}  // namespace qm::test
