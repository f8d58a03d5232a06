#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>

#include "WindowFixture.h"
#include "platform/Platform.h"
#include "ui/MyToggleButton.h"

namespace tarnwick::test {
namespace {

QString textOf(QWidget* view) {
    if (auto* label = qobject_cast<QLabel*>(view)) return label->text();
    if (auto* toggle = qobject_cast<QCheckBox*>(view)) return toggle->text();
    return QStringLiteral("<other>");
}

TEST_F(WindowTest, ConstructedHiddenWithEveryToggleOff) {
    EXPECT_FALSE(ui.helpWindow->isVisible());
    EXPECT_TRUE(ui.helpWindow->contentSubviews.empty());
    EXPECT_FALSE(ui.fnEnabled() || ui.ctrlEnabled() || ui.cmdEnabled());
}

TEST_F(WindowTest, FirstHelpBuildsTheSevenViewsInOrderAndTurnsCommandOn) {
    int toggleChanges = 0;
    ui.setTogglesChangedListener([&] { ++toggleChanges; });
    ui.help();

    const ModifierTitles titles = modifierTitles();
    const QStringList expected = {QStringLiteral("Enabled Modifier Keys:"),
                                  QString::fromUtf8(titles.fn),
                                  QString::fromUtf8(titles.control),
                                  QString::fromUtf8(titles.command),
                                  QString(),
                                  QStringLiteral("Copy History:"),
                                  QStringLiteral("<other>")};
    const auto& views = ui.helpWindow->contentSubviews;
    ASSERT_EQ(views.size(), 7u);
    for (int p = 0; p < 7; ++p) EXPECT_EQ(textOf(views[p]), expected[p]) << p;
    EXPECT_EQ(views[1], ui.fnButton);
    EXPECT_EQ(views[2], ui.ctrlButton);
    EXPECT_EQ(views[3], ui.cmdButton);
    EXPECT_EQ(views[6], ui.scrollView);
    EXPECT_EQ(ui.scrollView->widget(), ui.documentView);

    EXPECT_TRUE(ui.helpWindow->isVisible());
    EXPECT_EQ(ui.helpWindow->windowTitle(), QStringLiteral("Tarnwick"));
    EXPECT_TRUE(ui.cmdEnabled());
    EXPECT_FALSE(ui.fnEnabled());
    EXPECT_FALSE(ui.ctrlEnabled());
    EXPECT_EQ(ui.cmdButton->state(), 1);
    EXPECT_EQ(toggleChanges, 1);
    EXPECT_EQ(ui.helpWindow->minimumSize(), QSize(200, 200));
}

TEST_F(WindowTest, LaterHelpShowsTheSameWindowWithoutRebuilding) {
    ui.help();
    const auto views = ui.helpWindow->contentSubviews;
    UserInterface::MyWindow* window = ui.helpWindow;
    ui.fnButton->setState(1);
    ui.cmdButton->setState(0);
    ui.helpWindow->close();
    EXPECT_FALSE(ui.helpWindow->isVisible());

    ui.help();
    EXPECT_EQ(ui.helpWindow, window);
    EXPECT_EQ(ui.helpWindow->contentSubviews, views);
    EXPECT_TRUE(ui.helpWindow->isVisible());
    EXPECT_TRUE(ui.fnEnabled());
    EXPECT_FALSE(ui.cmdEnabled());
}

TEST_F(WindowTest, PlacedAtTheTopRightOfTheAvailableArea) {
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect frame = ui.helpWindow->geometry();
    EXPECT_EQ(frame.width(), std::min(400, area.width()));
    EXPECT_EQ(frame.height(), std::min(980, area.height()));
    EXPECT_EQ(frame.right(), area.right());
    EXPECT_EQ(frame.top(), area.top());
}

TEST_F(WindowTest, LayoutPutsTheScrollViewFiveAboveTheBottomAndHeaderOnOneLine) {
    ui.help();
    ui.helpWindow->resize(400, 500);
    const auto& views = ui.helpWindow->contentSubviews;
    const QRect scroll = ui.scrollView->geometry();
    const int headerHeight = views[3]->height();
    EXPECT_EQ(views[0]->y(), 5);
    EXPECT_EQ(views[3]->y(), 5);  // toggles beside the label
    EXPECT_EQ(scroll.height(), 500 - 48 - 10);
    // Toggles taller than labelHt move it down by the difference.
    EXPECT_EQ(scroll.bottom() + 1, 500 - 5 + (headerHeight - 16));
    EXPECT_EQ(scroll.width(), 400 - 10);
    EXPECT_EQ(ui.documentView->width(), 400 - 10);

    // Narrower than the header: one view per line, 48 less for the rows.
    ui.helpWindow->resize(200, 500);
    EXPECT_EQ(views[1]->x(), 5);
    EXPECT_GT(views[3]->y(), views[2]->y());
    EXPECT_EQ(ui.scrollView->height(), 500 - 96 - 10);
}

TEST_F(WindowTest, TallDocumentTakesTheScrollerWidth) {
    ui.help();
    ui.helpWindow->resize(400, 300);
    QStringList texts;
    for (int i = 0; i < 30; ++i) texts << QStringLiteral("entry %1").arg(i);
    addRows(texts);
    EXPECT_GT(doc().frameHeight(), ui.scrollView->height());
    const int scroller = ui.scrollView->verticalScrollBar()->sizeHint().width();
    EXPECT_EQ(ui.documentView->width(), 400 - 5 - scroller);
    EXPECT_EQ(ui.scrollView->width(), 400 - 5);
}

TEST_F(WindowTest, ClosingOnlyHides) {
    ui.help();
    EXPECT_TRUE(ui.helpWindow->close());
    EXPECT_FALSE(ui.helpWindow->isVisible());
    EXPECT_FALSE(ui.helpWindow->testAttribute(Qt::WA_DeleteOnClose));
}

}  // namespace
}  // namespace tarnwick::test
