// Text views: the striped picture, binding, the scroll table driven by real key messages, the
// scroll bar's boxes and thumb.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "layer_fixture.h"
#include "layers/button.h"
#include "layers/textview.h"
#include "support/owned_surface.h"
#include "text/doc_files.h"

namespace {

constexpr UINT KEY_LEFT = 37, KEY_UP = 38, KEY_RIGHT = 39, KEY_DOWN = 40;
constexpr uint32_t VIEW_COLOUR = 0x00402010;

// A CR LF document whose line n (1 to lines) is n '#' characters: a line's drawn width tells
// which line it is. lineCount comes out as lines + 2.
std::string HashLines(int lines) {
    std::string text;
    for (int n = 1; n <= lines; ++n) text += std::string(size_t(n), '#') + "\r\n";
    return text;
}

// Columns of the leftmost and rightmost text pixels of line slot k: where band 0 differs from
// the clean background within the slot's 21 rows. {-1, -1} when the slot shows no text.
struct Extent {
    int32_t left = -1;
    int32_t right = -1;
};
Extent SlotText(const Layer* layer, int k) {
    const BitmapImage picture = ReadCanvas(layer->image);
    const BitmapImage background = ReadCanvas(layer->background);
    Extent extent;
    const int32_t top = TEXTVIEW_TEXT_TOP + TEXTVIEW_PITCH * k;
    for (int32_t r = top; r < top + TEXTVIEW_PITCH && r < int32_t(layer->height); ++r)
        for (int32_t c = 0; c < background.width; ++c)
            if (picture.at(c, r) != background.at(c, r)) {
                if (extent.left < 0 || c < extent.left) extent.left = c;
                extent.right = std::max(extent.right, c);
            }
    return extent;
}
bool ShowsBackgroundOnly(const Layer* layer) {
    const BitmapImage picture = ReadCanvas(layer->image);
    const BitmapImage background = ReadCanvas(layer->background);
    for (int32_t r = 0; r < int32_t(layer->height); ++r)
        for (int32_t c = 0; c < background.width; ++c)
            if (picture.at(c, r) != background.at(c, r)) return false;
    return true;
}

// Row r of a clean view picture: the gradient drawn from the row below the layer's top, grey
// bands over the first 20 of every 21 rows; row 0 shows the work surface's earlier content.
uint32_t ExpectedBackgroundRow(int32_t r, uint32_t height, uint32_t colour) {
    const uint32_t base = r == 0 ? WORK_FILL : GradientRow(colour, height - uint32_t(r), height);
    return r % TEXTVIEW_PITCH < 20 ? AverageWithGrey(base) : base;
}

struct Box {
    int32_t top;  // covers rows top + 1 to top + rows, relative to the bar's y
    int32_t rows;
};
// The scroll bar's pixel in row r (relative to its y): the gradient of the last box covering it.
uint32_t ExpectedBarRow(int32_t r, const std::vector<Box>& boxes, uint32_t colour, uint32_t fill) {
    uint32_t value = fill;
    for (const Box& box : boxes)
        if (r > box.top && r <= box.top + box.rows)
            value = GradientRow(colour, uint32_t(box.top + box.rows - r), uint32_t(box.rows));
    return value;
}

class TextViewTest : public LayerTest {
  protected:
    Layer* MakeView(int32_t x, int32_t y, int32_t width, int32_t height) {
        const int32_t index = CreateTextViewLayer(window, x, y, width, height, VIEW_COLOUR);
        EXPECT_GE(index, 0);
        return GetLayer(uint32_t(index));
    }
};

TEST_F(TextViewTest, CreationPlacesTheViewAndPreparesStripedBackgroundAndScrollBar) {
    const int32_t index = CreateTextViewLayer(window, 0, 0, 200, 400, VIEW_COLOUR);
    ASSERT_EQ(index, 0);
    const Layer* layer = GetLayer(0);
    EXPECT_EQ(layer->kind, LK_TEXTVIEW);
    EXPECT_EQ(layer->x, 0);
    EXPECT_EQ(layer->y, 1);
    EXPECT_EQ(layer->width, 201u);
    EXPECT_EQ(layer->height, 400u);
    EXPECT_EQ(layer->colour, VIEW_COLOUR);
    EXPECT_EQ(layer->document, nullptr);
    EXPECT_EQ(layer->topLine, 0u);
    EXPECT_EQ(GetCanvasSize(layer->image), (Point{200, 1200}));
    EXPECT_EQ(GetCanvasSize(layer->background), (Point{200, 400}));
    EXPECT_EQ(GetCanvasSize(layer->scrollBarImage), (Point{20, 400}));

    const BitmapImage background = ReadCanvas(layer->background);
    const BitmapImage picture = ReadCanvas(layer->image);
    int wrong = 0;
    for (int32_t r = 0; r < 400; ++r)
        for (int32_t c = 0; c < 200; ++c) {
            const uint32_t expected = ExpectedBackgroundRow(r, 400, VIEW_COLOUR);
            wrong += background.at(c, r) != expected;
            wrong += picture.at(c, r) != expected;
        }
    EXPECT_EQ(wrong, 0);

    // The scroll bar image: its track, end boxes and the thumb at position 1 of 100, drawn over
    // the background a row below the view's top; the copy at column -1 leaves column 19 empty.
    const BitmapImage bar = ReadCanvas(layer->scrollBarImage);
    const std::vector<Box> boxes = {{0, 400}, {0, 20}, {380, 20}, {23, 20}};
    for (int32_t r = 0; r < 400; ++r) {
        const uint32_t expected =
            ExpectedBarRow(r, boxes, SCROLLBAR_COLOUR, ExpectedBackgroundRow(0, 400, VIEW_COLOUR));
        for (int32_t c = 0; c < 19; ++c) ASSERT_EQ(bar.at(c, r), expected) << c << ", " << r;
        ASSERT_EQ(bar.at(19, r), 0u) << r;
    }

    // Composed at (0, 1); the extra column has no picture behind it and keeps the backdrop.
    Compose();
    const BitmapImage compose = ReadCompose();
    EXPECT_EQ(compose.at(5, 0), BACKDROP_FILL);
    EXPECT_EQ(compose.at(5, 1), ExpectedBackgroundRow(0, 400, VIEW_COLOUR));
    EXPECT_EQ(compose.at(199, 400), ExpectedBackgroundRow(399, 400, VIEW_COLOUR));
    EXPECT_EQ(compose.at(200, 200), BACKDROP_FILL);
    EXPECT_EQ(compose.at(5, 401), BACKDROP_FILL);
}

TEST_F(TextViewTest, BindingRendersTheFirstLinesAndStartsOverFromLineOne) {
    DocPtr doc = LoadBytes(HashLines(29));
    ASSERT_TRUE(doc);
    ASSERT_EQ(doc->lineCount, 31u);
    Layer* layer = MakeView(10, 20, 300, 400);
    BindTextDoc(layer, doc.get());
    EXPECT_EQ(layer->document, doc.get());
    EXPECT_EQ(layer->topLine, 1u);
    EXPECT_EQ(layer->hOffset, 0);
    // Every visible slot shows its line, each '#' one advance further right.
    const Extent first = SlotText(layer, 0), second = SlotText(layer, 1);
    ASSERT_GE(first.left, TEXTVIEW_TEXT_LEFT - 1);
    ASSERT_LE(first.left, TEXTVIEW_TEXT_LEFT + 3);
    const int32_t advance = second.right - first.right;
    ASSERT_GT(advance, 3);
    for (int k = 0; k < 18; ++k) EXPECT_EQ(SlotText(layer, k).right, first.right + k * advance);

    // Binding again, after scrolling, shows line 1 unshifted.
    layer->topLine = 7;
    layer->hOffset = 6;
    RenderTextViewLines(0);
    EXPECT_EQ(SlotText(layer, 0).right, first.right - 6 + 6 * advance);
    BindTextDoc(layer, doc.get());
    EXPECT_EQ(layer->topLine, 1u);
    EXPECT_EQ(layer->hOffset, 0);
    EXPECT_EQ(SlotText(layer, 0).right, first.right);
}

TEST_F(TextViewTest, BindingIgnoresOtherKindsAndMissingDocuments) {
    DocPtr doc = LoadBytes(HashLines(3));
    Layer* view = MakeView(10, 20, 200, 100);
    BindTextDoc(view, nullptr);
    EXPECT_EQ(view->document, nullptr);
    EXPECT_EQ(view->topLine, 0u);
    EXPECT_TRUE(ShowsBackgroundOnly(view));

    Layer* button = GetLayer(uint32_t(CreateButtonLayer(window, 300, 20, 50, 20, 0x7F, "b")));
    const BitmapImage before = ReadCanvas(button->image);
    BindTextDoc(button, doc.get());
    EXPECT_EQ(button->document, nullptr);
    EXPECT_EQ(button->topLine, 0u);
    EXPECT_EQ(ReadCanvas(button->image).pixels, before.pixels);
}

// The scroll steps, each made by one real key press (a key-down composes once).
TEST_F(TextViewTest, UpAndDownMoveByAPageAndStopPastTheEnd) {
    DocPtr doc = LoadBytes(HashLines(29));      // lineCount 31; lines 1 to 29 hold text
    Layer* layer = MakeView(10, 20, 300, 400);  // a page of 19 lines
    BindTextDoc(layer, doc.get());
    const int32_t right1 = SlotText(layer, 0).right;
    const int32_t advance = SlotText(layer, 1).right - right1;

    struct Step {
        UINT key;
        uint32_t topLine;
        const char* why;
    };
    const Step steps[] = {
        {KEY_UP, 20, "Up moves a page further into the document"},
        {KEY_UP, 39, "topLine 20 is within lineCount, so Up moves past the end"},
        {KEY_UP, 39, "past lineCount Up changes nothing"},
        {KEY_DOWN, 20, "Down brings it back a page"},
        {KEY_DOWN, 1, "Down stops at line 1"},
        {KEY_DOWN, 1, "Down at line 1 changes nothing"},
    };
    for (const Step& step : steps) {
        Press(step.key);
        EXPECT_EQ(layer->topLine, step.topLine) << step.why;
        EXPECT_EQ(layer->lastKey, step.key) << step.why;
        // Slot k shows line topLine + k when that line holds text, else nothing.
        for (int k = 0; k < 18; ++k) {
            const uint32_t n = step.topLine + uint32_t(k);
            const Extent text = SlotText(layer, k);
            if (n <= 29)
                EXPECT_EQ(text.right, right1 + int32_t(n - 1) * advance)
                    << step.why << ", slot " << k;
            else
                EXPECT_EQ(text.right, -1) << step.why << ", slot " << k;
        }
    }
    // The compose shows the picture.
    Press(KEY_UP);
    Compose();
    const BitmapImage compose = ReadCompose();
    const BitmapImage picture = ReadCanvas(layer->image);
    for (int32_t r = 0; r < 400; ++r)
        for (int32_t c = 0; c < 300; ++c) ASSERT_EQ(compose.at(10 + c, 21 + r), picture.at(c, r));
}

TEST_F(TextViewTest, DownClampsToLineOne) {
    DocPtr doc = LoadBytes(HashLines(60));
    struct Case {
        int32_t height;
        uint32_t from, to;
        const char* why;
    };
    const Case cases[] = {
        {400, 5, 1, "a page of 19 from line 5 stops at 1"},
        {400, 20, 1, "exactly one page back reaches line 1"},
        {400, 45, 26, "a whole page back"},
        {400, 1, 1, "nothing above line 1"},
        {100, 7, 3, "a 100-row view has a page of 4"},
        {20, 7, 7, "a view under 21 rows has a page of 0"},
    };
    for (const Case& c : cases) {
        Layer* layer = MakeView(10, 20, 200, c.height);
        BindTextDoc(layer, doc.get());
        layer->topLine = c.from;
        Press(KEY_DOWN);
        EXPECT_EQ(layer->topLine, c.to) << c.why;
        EXPECT_EQ(layer->lastKey, KEY_DOWN) << c.why;
        FreeLayers();  // one view at a time
    }
}

// A document whose only text is a '#' after 45 spaces: the glyph's column shows the shift.
class SidewaysTest : public TextViewTest {
  protected:
    void SetUp() override {
        TextViewTest::SetUp();
        doc = LoadBytes(std::string(45, ' ') + "#\r\n");
        layer = MakeView(10, 20, 400, 300);  // sideways steps of 300 pixels
        BindTextDoc(layer, doc.get());
        unshifted = SlotText(layer, 0).left;
        ASSERT_GT(unshifted, 300);
        ASSERT_LT(unshifted, 399);
    }
    // The glyph's column for hOffset, or -1 when it lies off the picture.
    int32_t ShiftedLeft(int32_t hOffset) const {
        return unshifted - hOffset >= 0 ? unshifted - hOffset : -1;
    }
    DocPtr doc;
    Layer* layer = nullptr;
    int32_t unshifted = 0;
};

TEST_F(SidewaysTest, HeldKeysActAtEverySecondCompose) {
    struct Step {
        UINT key;
        int32_t hOffset;
        uint8_t lastKey;
        const char* why;
    };
    const Step steps[] = {
        {KEY_RIGHT, 300, 39, "the first compose with Right held shifts"},
        {KEY_RIGHT, 300, 0, "the second only clears lastKey"},
        {KEY_RIGHT, 600, 39, "the third shifts again"},
        {KEY_RIGHT, 600, 0, "cleared"},
        {KEY_RIGHT, 600, 39, "above 400 Right stops"},
        {KEY_LEFT, 300, 37, "Left after Right acts at once"},
        {KEY_LEFT, 300, 0, "held Left: compose 2 clears"},
        {KEY_LEFT, 0, 37, "compose 3 shifts back to 0"},
        {KEY_LEFT, 0, 0, "cleared"},
        {KEY_LEFT, 0, 37, "at 0 Left stops"},
    };
    // Held keys: auto-repeated key-downs without a release in between.
    for (const Step& step : steps) {
        HeadlessKeyDown(step.key);
        HeadlessRunFor(0);
        EXPECT_EQ(layer->hOffset, step.hOffset) << step.why;
        EXPECT_EQ(layer->lastKey, step.lastKey) << step.why;
        EXPECT_EQ(SlotText(layer, 0).left, ShiftedLeft(step.hOffset)) << step.why;
    }
}

TEST_F(SidewaysTest, LastKeySurvivesBetweenPressesAndUpOrDownResetsIt) {
    const int32_t afterEachPress[] = {300, 300, 600};
    for (int32_t expected : afterEachPress) {
        Press(KEY_RIGHT);
        EXPECT_EQ(layer->hOffset, expected);
        EXPECT_EQ(SlotText(layer, 0).left, ShiftedLeft(expected));
    }
    // Right acted last; an Up in between makes the next Left act at once.
    Press(KEY_UP);
    EXPECT_EQ(layer->lastKey, KEY_UP);
    Press(KEY_DOWN);  // back to line 1, where the glyph is
    Press(KEY_LEFT);
    EXPECT_EQ(layer->hOffset, 300);
    EXPECT_EQ(SlotText(layer, 0).left, ShiftedLeft(300));
}

TEST_F(TextViewTest, EveryViewReactsToTheKeysAndAnUnboundViewOnlyNotesThem) {
    DocPtr doc = LoadBytes(HashLines(60));
    Layer* bound = MakeView(10, 20, 200, 210);   // a page of 10
    Layer* other = MakeView(250, 20, 200, 105);  // a page of 5
    Layer* unbound = MakeView(10, 250, 200, 100);
    BindTextDoc(bound, doc.get());
    BindTextDoc(other, doc.get());
    FocusIndex = 2;  // the focus does not matter
    Press(KEY_UP);
    EXPECT_EQ(bound->topLine, 11u);
    EXPECT_EQ(other->topLine, 6u);
    EXPECT_EQ(unbound->topLine, 0u);
    EXPECT_EQ(unbound->lastKey, KEY_UP);
    Press(KEY_DOWN);
    EXPECT_EQ(unbound->topLine, 0u);
    EXPECT_EQ(unbound->lastKey, KEY_DOWN);
    EXPECT_TRUE(ShowsBackgroundOnly(unbound));
    EXPECT_EQ(bound->shownBand, 0u);
    // Other keys leave everything as it was.
    Press('A');
    EXPECT_EQ(bound->topLine, 1u);
    EXPECT_EQ(bound->lastKey, KEY_DOWN);
}

TEST(DrawScrollBar, DrawsBoxesAndThumbInsideTheBarOnly) {
    constexpr int32_t X = 30, Y = 40, WIDTH = 20;
    constexpr uint32_t FILL = 0x00111111, COLOUR = 0x0000307F;
    struct Case {
        int32_t height, position, total;
        int32_t thumbTop;  // relative to Y; -1 for no thumb
        const char* why;
    };
    const Case cases[] = {
        {400, 1, 100, 23, "1 x 340 / 100 = 3 rows below the top box"},
        {400, 0, 100, 20, "position 0 sits right under the top box"},
        {400, 99, 100, 356, "99 x 340 / 100 truncates to 336"},
        {400, 100, 100, -1, "position at total: no thumb"},
        {400, 150, 100, -1, "position beyond total: no thumb"},
        {400, -1, 100, -1, "a negative position has no place on the bar"},
        {400, 0, 0, -1, "a total of 0 has no thumb (and divides nothing)"},
        {400, -5, 0, -1, "nor with a negative position"},
        {60, 1, 100, 20, "at 60 rows the thumb fills the space between the boxes"},
        {59, 1, 100, -1, "under 60 rows there is no room for a thumb"},
        {30, 1, 100, -1, "the end boxes overlap"},
        {10, 1, 100, -1, "under 20 rows the end boxes shrink to the bar"},
        {1, 0, 100, -1, "a one-row bar"},
    };
    for (const Case& c : cases) {
        OwnedSurface surface(200, 500, 32, FILL);
        DrawScrollBar(&surface, X, Y, WIDTH, c.height, c.position, c.total, COLOUR);
        const int32_t box = std::min(20, c.height);
        std::vector<Box> boxes = {{0, c.height}, {0, box}, {c.height - box, box}};
        if (c.thumbTop >= 0) boxes.push_back({c.thumbTop, 20});
        int wrong = 0;
        for (int32_t y = 0; y < 500; ++y)
            for (int32_t x = 0; x < 200; ++x) {
                const bool inBar = x > X && x <= X + WIDTH && y > Y && y <= Y + c.height;
                const uint32_t expected = inBar ? ExpectedBarRow(y - Y, boxes, COLOUR, FILL) : FILL;
                wrong += surface.at(x, y) != expected;
            }
        EXPECT_EQ(wrong, 0) << c.why;
    }
}

}  // namespace
