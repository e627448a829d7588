#include "util/strings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

TEST(StringLength, CountsBytesBeforeTheNul) {
    struct Case {
        const char* text;
        uint32_t length;
    } cases[] = {
        {"", 0},           // empty
        {"abc", 3},        // NUL inside the first four-byte step
        {"abcd", 4},       // NUL right after a full step
        {"abcdefghi", 9},  // several steps
        {"ab\0cd", 2},     // stops at the first NUL
    };
    for (const Case& c : cases) EXPECT_EQ(StringLength(c.text), c.length) << c.text;
    // Unaligned starts measure the same.
    const char text[] = "xxxhello world";
    for (uint32_t skip = 0; skip < 4; ++skip) EXPECT_EQ(StringLength(text + skip), 14 - skip);
}

TEST(AppendString, CopiesSourceWithItsNulAtTheDestinationsNul) {
    char buffer[32];
    std::memset(buffer, '#', sizeof buffer);
    std::strcpy(buffer, "C:/Tools/");
    EXPECT_EQ(AppendString(buffer, "Assembler/Fasm.exe"), buffer);
    EXPECT_STREQ(buffer, "C:/Tools/Assembler/Fasm.exe");
    EXPECT_EQ(buffer[28], '#');  // nothing written past the new NUL

    char empty[8] = "";
    AppendString(empty, "");
    EXPECT_STREQ(empty, "");
    AppendString(empty, "ab");
    AppendString(empty, "c");
    EXPECT_STREQ(empty, "abc");
}

TEST(FindLineEnd, AnswersThePositionOfTheFirstCrOrNul) {
    struct Case {
        std::string text;  // exact bytes examined; no terminator added
        int32_t maxBytes;
        int32_t expected;
        const char* why;
    } cases[] = {
        {"ab\rcd", 10, 3, "CR third"},
        {std::string("ab\0\r", 4), 10, 3, "NUL before CR"},
        {"\r", 1, 1, "CR first"},
        {"ab\ncd\r", 10, 6, "LF is an ordinary byte"},
        {"abcd", 4, -1, "no terminator within the maximum"},
        {"ab\r", 2, -1, "CR just beyond the maximum"},
        {"ab\r", 3, 3, "CR exactly at the maximum"},
    };
    for (const Case& c : cases) {
        // An exact-size heap block: any read past the examined bytes is caught by ASan.
        auto block = std::make_unique<char[]>(c.text.size());
        std::memcpy(block.get(), c.text.data(), c.text.size());
        EXPECT_EQ(FindLineEnd(block.get(), c.maxBytes), c.expected) << c.why;
    }
}

TEST(FindLineEnd, MaximumOfZeroOrLessReadsNothing) {
    auto block = std::make_unique<char[]>(1);
    block[0] = '\r';
    const char* end = block.get() + 1;  // one past the block: must not be read
    EXPECT_EQ(FindLineEnd(end, 0), -1);
    EXPECT_EQ(FindLineEnd(end, -5), -1);
}

TEST(FindLineEnd, CaptionLengthIsPositionMinusOne) {
    std::string caption(128, 'x');
    auto block = std::make_unique<char[]>(caption.size());
    std::memcpy(block.get(), caption.data(), caption.size());
    EXPECT_EQ(FindLineEnd(block.get(), 128), -1);  // 128 bytes, none a terminator
    EXPECT_EQ(FindLineEnd("Exit", 128) - 1, 4);
}

TEST(CopyBytes, CopiesExactlyCountBytes) {
    for (int32_t count : {-3, -1, 0, 1, 5, 7}) {
        std::vector<uint8_t> destination(10, 0xEE);
        const uint8_t source[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
        CopyBytes(destination.data(), source, count);
        for (int32_t i = 0; i < 10; ++i)
            EXPECT_EQ(destination[i], i < count ? source[i] : 0xEE)
                << "count " << count << " at " << i;
    }
}

TEST(CopyBytes, OverlapCopiesFromTheLowestAddressUp) {
    char buffer[] = "abc.......";
    CopyBytes(buffer + 3, buffer, 6);  // each copied byte is read again later
    EXPECT_STREQ(buffer, "abcabcabc.");
    char down[] = "..abcdef";
    CopyBytes(down, down + 2, 6);
    EXPECT_STREQ(down, "abcdefef");
}

TEST(CompareBytes, FindsTheFirstDifferenceWithinCount) {
    const char a[] = "ABCDEFGHIJ";
    struct Case {
        const char* b;
        uint32_t count;
        int32_t expected;
        const char* why;
    } cases[] = {
        {"XXXXXXXXXX", 0, 1, "a count of 0 is equal"},
        {"ABCDXFGHIJ", 5, 0, "difference in the fifth byte, after the first word"},
        {"ABCDXFGHIJ", 4, 1, "difference beyond the count"},
        {"XBCDEFGHIJ", 10, 0, "difference in the first byte"},
        {"ABCDEFGHIX", 10, 0, "difference in the last remainder byte"},
        {"ABCDEFGHIJ", 10, 1, "equal over words and remainder"},
        {"ABCDEFGXIJ", 10, 0, "difference in the second word"},
    };
    for (const Case& c : cases) EXPECT_EQ(CompareBytes(a, c.b, c.count), c.expected) << c.why;
    // Unaligned blocks compare the same.
    EXPECT_EQ(CompareBytes(a + 1, "BCDEFGHIJ", 9), 1);
    EXPECT_EQ(CompareBytes(a + 3, "DEFGHIJ", 7), 1);
    EXPECT_EQ(CompareBytes(a + 3, "DEFGHIj", 7), 0);
}

TEST(CopyUntilControl, StopsAtNulOrControlByte) {
    struct Case {
        std::string source;   // followed by the string's own NUL
        std::string written;  // exact bytes expected at the destination's start
        uint32_t result;
        const char* why;
    } cases[] = {
        {"a\tb", "a b", 3, "tab becomes a space, NUL writes no terminator"},
        {"line\r\nnext", std::string("line\r\0", 6), 4, "CR copied and closed with a NUL"},
        {"", "", 0, "empty: nothing written"},
        {"ab\x0f"
         "c",
         std::string("ab\x0f\0", 4), 2, "15 is a control byte"},
        {"ab\x10"
         "c",
         "ab\x10"
         "c",
         4, "16 is an ordinary byte"},
        {"\xe9t\xe9", "\xe9t\xe9", 3, "bytes above 127 are ordinary"},
        {"\nx", std::string("\n\0", 2), 0, "control byte first"},
    };
    for (const Case& c : cases) {
        char destination[32];
        std::memset(destination, '#', sizeof destination);
        EXPECT_EQ(CopyUntilControl(c.source.c_str(), destination), c.result) << c.why;
        EXPECT_EQ(std::string(destination, c.written.size()), c.written) << c.why;
        EXPECT_EQ(destination[c.written.size()], '#') << c.why << ": wrote past the stop";
    }
}

TEST(FormatUnsigned, WritesDecimalDigitsAndReturnsTheirCount) {
    struct Case {
        uint32_t value;
        const char* text;
    } cases[] = {{0, "0"},
                 {7, "7"},
                 {1000, "1000"},
                 {2147483648u, "2147483648"},
                 {4294967295u, "4294967295"}};
    for (const Case& c : cases) {
        char buffer[16];
        std::memset(buffer, '#', sizeof buffer);
        EXPECT_EQ(FormatUnsigned(c.value, buffer), std::strlen(c.text));
        EXPECT_STREQ(buffer, c.text);
        EXPECT_EQ(buffer[11], '#');  // 11 bytes suffice
    }
}

TEST(FormatHex8, WritesEightUpperCaseDigits) {
    struct Case {
        uint32_t value;
        const char* text;
    } cases[] = {{31, "0000001F"},
                 {0, "00000000"},
                 {0xFFFFFFFF, "FFFFFFFF"},
                 {0x89ABCDEF, "89ABCDEF"},
                 {0x10000000, "10000000"}};
    for (const Case& c : cases) {
        char buffer[12];
        std::memset(buffer, '#', sizeof buffer);
        FormatHex8(c.value, buffer);
        EXPECT_STREQ(buffer, c.text);
        EXPECT_EQ(buffer[9], '#');
    }
}

}  // namespace
