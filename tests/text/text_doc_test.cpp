#include "text/text_doc.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "text/doc_files.h"

namespace {

using namespace std::string_literals;

struct LineCase {
    const char* why;
    std::string bytes;
    uint32_t lineCount;
    std::vector<uint32_t> starts;    // lineIndex entries 0 .. lineCount - 2
    std::vector<std::string> lines;  // lines 1 .. lineCount - 1 as GetLineText gives them
};

const LineCase LINE_CASES[] = {
    {"two CR LF lines", "a\r\nb\r\n", 4, {0, 3, 6}, {"a", "b", ""}},
    {"text after the last break is no line", "a\r\nb", 3, {0, 3}, {"a", ""}},
    {"empty lines", "\r\n\r\n", 4, {0, 2, 4}, {"", "", ""}},
    {"a single line feed", "\n", 3, {0, 1}, {"", ""}},
    {"bare LF line ends drop only the LF", "ab\ncd\n", 4, {0, 3, 6}, {"ab", "cd", ""}},
    {"mixed line ends", "a\r\nbc\nd\r\n", 5, {0, 3, 6, 9}, {"a", "bc", "d", ""}},
    {"a lone CR inside a line is text", "a\rb\r\nc\r\n", 4, {0, 5, 8}, {"a\rb", "c", ""}},
    {"a CR before the text's end is not a line end", "x\r\ny\r", 3, {0, 3}, {"x", ""}},
    {"LF CR: the CR starts the next line", "a\n\rb\r\n", 4, {0, 2, 6}, {"a", "\rb", ""}},
};

TEST(TextDocLoad, IndexesLinesAndTheirLengths) {
    for (const LineCase& c : LINE_CASES) {
        SCOPED_TRACE(c.why);
        DocPtr doc = LoadBytes(c.bytes);
        ASSERT_NE(doc, nullptr);
        EXPECT_EQ(doc->magic, TEXT_DOC_MAGIC);
        EXPECT_EQ(doc->textSize, c.bytes.size());
        EXPECT_EQ(std::memcmp(doc->text, c.bytes.data(), c.bytes.size()), 0);
        ASSERT_EQ(doc->lineCount, c.lineCount);
        EXPECT_EQ(std::vector<uint32_t>(doc->lineIndex, doc->lineIndex + c.lineCount - 1),
                  c.starts);
        for (int32_t n = 1; n < int32_t(c.lineCount); ++n) {
            SCOPED_TRACE(n);
            const TextSpan line = GetLineText(n, doc.get());
            EXPECT_EQ(line.address, doc->text + c.starts[size_t(n) - 1]);
            EXPECT_EQ(line.length, LineLength(doc.get(), n));
            EXPECT_EQ(LineString(doc.get(), n), c.lines[size_t(n) - 1]);
        }
    }
}

TEST(TextDocLoad, CrLfTextsCountCarriageReturnsPlusTwo) {
    const std::string text = "one\r\ntwo\r\n\r\nfour";
    DocPtr doc = LoadBytes(text);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->lineCount, CountLines(text.data(), uint32_t(text.size())));
}

TEST(TextDocLoad, OutOfRangeLinesHaveNoLength) {
    DocPtr doc = LoadBytes("a\r\nb\r\n");  // lineCount 4
    ASSERT_NE(doc, nullptr);
    const int32_t outside[] = {
        0, -1, 3, 4, 5, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()};
    for (int32_t n : outside) {
        SCOPED_TRACE(n);
        EXPECT_EQ(LineLength(doc.get(), n), 0u);
        if (n != 3) {
            EXPECT_EQ(GetLineText(n, doc.get()), (TextSpan{doc->text, 0}));
        }
    }
    EXPECT_EQ(GetLineText(3, doc.get()), (TextSpan{doc->text + 6, 0}));  // the last, empty line
}

TEST(TextDocLoad, RefusesTextsWithoutLineFeed) {
    struct Case {
        const char* why;
        std::string bytes;
    };
    const Case cases[] = {
        {"empty file", ""},
        {"one line without a break", "abc"},
        {"carriage returns only", "a\rb\r"},
        {"zero bytes", "\0\0\0"s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(LoadBytes(c.bytes), nullptr);
    }
}

TEST(TextDocLoad, MissingPathReturnsZeroAndCreatesNothing) {
    TempPath missing;
    EXPECT_EQ(LoadTextDoc(missing.str().c_str()), nullptr);
    EXPECT_FALSE(std::filesystem::exists(missing.path()));
}

TEST(TextDocLoad, DirectoryIsRefused) {
    TempPath dir;
    std::filesystem::create_directory(dir.path());
    EXPECT_EQ(LoadTextDoc(dir.str().c_str()), nullptr);
}

TEST(TextDocLoad, LongFileIsCutToTheBuffer) {
    // The cut splits a CR LF, leaving a CR as the last byte read: it ends no line.
    const std::string text = std::string(TEXT_DOC_CAPACITY - 3, 'x') + "\r\n\r\n";
    DocPtr doc = LoadBytes(text + "more\r\n");
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->textSize, TEXT_DOC_CAPACITY);
    EXPECT_EQ(doc->text[TEXT_DOC_CAPACITY - 1], '\r');
    ASSERT_EQ(doc->lineCount, 3u);  // one line feed read
    EXPECT_EQ(LineLength(doc.get(), 1), TEXT_DOC_CAPACITY - 3);
    EXPECT_EQ(LineLength(doc.get(), 2), 0u);
}

TEST(TextDocLoad, FileEndingInLineFeedAtTheBufferEnd) {
    const std::string text = std::string(TEXT_DOC_CAPACITY - 2, 'y') + "\r\n";
    DocPtr doc = LoadBytes(text);
    ASSERT_NE(doc, nullptr);
    ASSERT_EQ(doc->lineCount, 3u);
    EXPECT_EQ(LineLength(doc.get(), 1), TEXT_DOC_CAPACITY - 2);
    // The last line starts just past the buffer and is empty.
    EXPECT_EQ(GetLineText(2, doc.get()), (TextSpan{doc->text + TEXT_DOC_CAPACITY, 0}));
}

TEST(TextDocLines, CountLinesCountsCarriageReturns) {
    const char text[] = "\ra\r\n\rb\n";
    EXPECT_EQ(CountLines(text, 7), 5u);
    EXPECT_EQ(CountLines(text, 1), 3u);
    EXPECT_EQ(CountLines(text, 0), 2u);  // reads nothing, even with a CR at the start
}

TEST(TextDocLines, BuildLineIndexWritesOneEntryPerLineFeed) {
    const char text[] = "ab\r\n\ncd\n";
    uint32_t table[5] = {99, 99, 99, 99, 99};
    EXPECT_EQ(BuildLineIndex(text, table, 8), 3u);
    EXPECT_EQ(std::vector<uint32_t>(table, table + 5), (std::vector<uint32_t>{0, 4, 5, 8, 99}));

    uint32_t small[2] = {99, 99};
    EXPECT_EQ(BuildLineIndex("\n", small, 0), 0u);  // size 0 reads nothing
    EXPECT_EQ(small[0], 0u);
    EXPECT_EQ(small[1], 99u);
}

TEST(TextDocLines, LineStartAnswersMinusOneOutsideTheLines) {
    const uint32_t table[] = {0, 3, 6, 0};
    const uint32_t lineCount = 4;
    struct Case {
        int32_t n;
        int32_t start;
    };
    const Case cases[] = {{1, 0},
                          {2, 3},
                          {3, 6},
                          {0, -1},
                          {4, -1},
                          {-1, -1},
                          {std::numeric_limits<int32_t>::min(), -1}};
    for (const Case& c : cases) EXPECT_EQ(LineStart(c.n, table, lineCount), c.start) << c.n;
}

TEST(TextDocLines, CopyToLineStartCopiesThroughTheStopByte) {
    const uint32_t table[] = {0, 4, 0};  // lines 1 and 2 of a three-entry table
    struct Case {
        const char* why;
        int32_t line;
        std::string source;
        int32_t result;
        std::string destination;  // the first 10 bytes afterwards
    };
    const Case cases[] = {
        {"';' stops and becomes NUL", 1, "abc;def", 4, "abc\0......"s},
        {"NUL stops", 1, "abc", 4, "abc\0......"s},
        {"CR stops, tab is copied", 2, "a\tb\rc", 4, "....a\tb\0.."s},
        {"an empty source writes only the NUL", 2, "", 1, "....\0....."s},
        {"line 0 is refused", 0, "abc", -1, ".........."},
        {"line lineCount is refused", 3, "abc", -1, ".........."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        std::string destination(10, '.');
        EXPECT_EQ(CopyToLineStart(c.line, table, 3, destination.data(), c.source.c_str()),
                  c.result);
        EXPECT_EQ(destination, c.destination);
    }
}

TEST(TextDocLines, CopyToLineStartNeverWritesPastTheDestination) {
    const uint32_t table[] = {0, 4, 0};
    std::string destination(8, '.');
    // Line 2 starts at 4: "abc;" ends exactly at the last byte, "abcd;" would not fit.
    EXPECT_EQ(CopyToLineStart(2, table, 3, destination.data(), "abc;", 8), 4);
    EXPECT_EQ(destination, "....abc\0"s);
    destination.assign(8, '.');
    EXPECT_EQ(CopyToLineStart(2, table, 3, destination.data(), "abcd;", 8), -1);
    EXPECT_EQ(destination, "........");
    const uint32_t farTable[] = {0, 8, 0};  // a start at the destination's end
    EXPECT_EQ(CopyToLineStart(2, farTable, 3, destination.data(), "", 8), -1);
    EXPECT_EQ(destination, "........");
}

TEST(TextDocLifetime, LoadAndFreeReleaseEverything) {
    // Under LeakSanitizer a lost block fails this test's process.
    std::string text;
    for (int i = 0; i < 200; ++i) text += "LINE " + std::to_string(i) + " of words\r\n";
    for (int round = 0; round < 3; ++round) {
        TextDoc* doc = LoadBytes(text).release();
        ASSERT_NE(doc, nullptr);
        EXPECT_EQ(doc->lineCount, 202u);
        FreeTextDoc(doc);
    }
    FreeTextDoc(nullptr);
}

}  // namespace
