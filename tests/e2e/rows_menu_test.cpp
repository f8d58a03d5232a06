// Pinning, moving and deleting rows in the real window of the real binary: the
// mouse and keys through xdotool, copies from another application (xclip), and
// the hot keys showing which text now sits under which digit.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "harness/Clipboard.h"
#include "harness/Desktop.h"
#include "harness/PasteTarget.h"
#include "harness/TarnwickApp.h"
#include "harness/Wait.h"
#include "harness/XvfbSession.h"

namespace tarnwick::e2e {
namespace {

// Where things are in the window, in pixels from its top-left corner: the
// rows are stacked 21 high from 3 below the scroll view's top, and each row
// starts with its index field, 3 from the left edge of the scroll view, which
// is 5 from the window's.
constexpr int rowHeight = 21;
constexpr int indexFieldCentreX = 5 + 3 + 7;
// Items of the index field's menu, which opens with its top-left corner at
// the pointer: "Delete", "Delete All", a separator, then "Pin" or "Unpin" at
// the bottom (measured with Qt's Fusion style on Xvfb).
constexpr int deleteItemY = 10;
constexpr int deleteAllItemY = 32;
constexpr int lastItemFromBottom = 12;

class RowsEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(x.ok()) << x.error();
        ASSERT_TRUE(app.waitForStatusIcon()) << app.process().standardOutput();
        ASSERT_TRUE(app.chooseFromStatusMenu("Settings"));
        window = app.waitForWindow();
        ASSERT_TRUE(window);
        ASSERT_TRUE(target.ready());
    }

    // Another application copies text; ctrl+1 in the target then shows that
    // it is the newest entry.
    void copyAndConfirm(const std::string& text) {
        ASSERT_TRUE(clipboard.copyText(text));
        pressAndExpect("ctrl+1", text);
    }

    void pressAndExpect(const std::string& chord, const std::string& pasted) {
        ASSERT_TRUE(target.focus());
        const std::string before = target.text();
        ASSERT_TRUE(desktop.key(chord));
        ASSERT_TRUE(target.waitForText(before + pasted))
            << chord << " gave \"" << target.text() << "\" after \"" << before << "\"";
    }

    // The top of row 1 on the screen. The rows start below the header, whose
    // height follows the toggles' fitted height: read it off the screen, as
    // the first line drawn below the header at the right of the window.
    std::optional<int> rowOneTop() {
        const auto place = desktop.geometry(*window);
        if (!place) return std::nullopt;
        const std::string column = std::to_string(place->width - 30);
        const CommandResult shot = x.run({"import", "-window", std::to_string(*window), "-crop",
                                          "1x300+" + column + "+0", "txt:-"});
        std::istringstream lines(shot.output);
        std::string line, background;
        std::getline(lines, line);  // the format's header
        while (std::getline(lines, line)) {
            const auto colon = line.find(':');
            const auto hash = line.find('#');
            if (colon == std::string::npos || hash == std::string::npos) continue;
            const int y = std::stoi(line.substr(line.find(',') + 1, colon));
            const std::string colour = line.substr(hash, 7);
            if (background.empty()) background = colour;
            if (colour != background) return place->y + y;
        }
        return std::nullopt;
    }

    // The centre of row's index field on the screen.
    std::optional<std::pair<int, int>> indexField(int row) {
        const auto top = rowOneTop();
        const auto place = desktop.geometry(*window);
        if (!top || !place) return std::nullopt;
        return std::make_pair(place->x + indexFieldCentreX, *top + rowHeight * (row - 1) + 10);
    }

    // Right-clicks row's index field and waits for its menu.
    std::optional<Rect> openIndexMenu(int row) {
        const auto field = indexField(row);
        if (!field) return std::nullopt;
        const std::vector<WindowId> before = desktop.windowsOfClass("^tarnwick$");
        if (!desktop.click(field->first, field->second, 3)) return std::nullopt;
        std::optional<WindowId> menu;
        waitUntil(
            [&] {
                for (WindowId w : desktop.windowsOfClass("^tarnwick$")) {
                    if (std::find(before.begin(), before.end(), w) == before.end()) menu = w;
                }
                return menu.has_value();
            },
            5s);
        if (!menu) return std::nullopt;
        return desktop.geometry(*menu);
    }

    // Types a row number into row's index field and presses Return.
    void typeRowNumber(int row, const std::string& number) {
        const auto field = indexField(row);
        ASSERT_TRUE(field);
        ASSERT_TRUE(desktop.click(field->first, field->second));
        ASSERT_TRUE(desktop.focus(*window));
        ASSERT_TRUE(desktop.type(number));
        ASSERT_TRUE(desktop.key("Return"));
    }

    bool clipboardBecomes(const std::optional<std::string>& text) {
        return waitUntil([&] { return clipboard.text() == text; }, 3s);
    }

    XvfbSession x{{.tray = true}};
    TarnwickApp app{x};
    Clipboard clipboard{x};
    PasteTarget target{x};
    Desktop desktop{x};
    std::optional<WindowId> window;
};

TEST_F(RowsEndToEnd, APinnedRowKeepsItsDigitWhileNewTextsArrive) {
    for (const char* text : {"one", "two", "three"}) copyAndConfirm(text);
    const auto menu = openIndexMenu(2);
    ASSERT_TRUE(menu);
    ASSERT_TRUE(desktop.click(menu->centerX(), menu->y + menu->height - lastItemFromBottom));

    for (const char* text : {"four", "five"}) copyAndConfirm(text);
    pressAndExpect("ctrl+2", "two");
    pressAndExpect("ctrl+3", "four");
    pressAndExpect("ctrl+4", "three");
    pressAndExpect("ctrl+5", "one");
    EXPECT_EQ(app.process().standardOutput(), "");
}

TEST_F(RowsEndToEnd, TypingARowNumberMovesTheRowAndDeleteRemovesOne) {
    for (const char* text : {"a", "b", "c"}) copyAndConfirm(text);
    typeRowNumber(3, "1");
    // Row 1 changed: the clipboard holds the new newest text.
    ASSERT_TRUE(clipboardBecomes("a"));
    pressAndExpect("ctrl+2", "c");
    pressAndExpect("ctrl+3", "b");

    const auto menu = openIndexMenu(2);
    ASSERT_TRUE(menu);
    ASSERT_TRUE(desktop.click(menu->centerX(), menu->y + deleteItemY));
    pressAndExpect("ctrl+2", "b");
    pressAndExpect("ctrl+1", "a");
    EXPECT_TRUE(clipboardBecomes("a"));
}

TEST_F(RowsEndToEnd, DeleteAllEmptiesTheHistoryAndTheClipboard) {
    for (const char* text : {"x", "y"}) copyAndConfirm(text);
    const auto menu = openIndexMenu(1);
    ASSERT_TRUE(menu);
    ASSERT_TRUE(desktop.click(menu->centerX(), menu->y + deleteAllItemY));
    EXPECT_TRUE(clipboardBecomes(std::nullopt)) << "clipboard: " << clipboard.text().value_or("");
    // The next copy starts a new history: it is entry 0 and has no entry 1.
    copyAndConfirm("z");
    pressAndExpect("ctrl+1", "z");
}

}  // namespace
}  // namespace tarnwick::e2e
