#include "text/word_index.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "text/doc_files.h"

namespace {

using namespace std::string_literals;

std::string Upper(std::string word) {
    for (char& c : word)
        if (c >= 'a' && c <= 'z') c = char(c - 32);
    return word;
}

// Line n's records as strings, "" for a record the locating walk did not reach.
std::vector<std::string> RecordWords(const TextDoc* doc, int32_t n) {
    std::vector<std::string> words;
    const uint32_t count = WordCountOfLine(doc, n);
    for (uint32_t m = 1; m <= count; ++m) {
        const WordRecord* record = WordRecordAt(doc, n, int32_t(m));
        EXPECT_NE(record, NO_WORD_RECORD);
        EXPECT_EQ(record->tag, WORD_TAG);
        EXPECT_EQ(record->remaining, count - m + 1);
        EXPECT_EQ(record->reserved, 0u);
        if (record->length == 0) {
            EXPECT_EQ(record->start, nullptr);
        }
        words.emplace_back(record->start == nullptr ? ""
                                                    : std::string(record->start, record->length));
    }
    return words;
}

TEST(WordClasses, CountWordsNeedsASeparatorAfterEachWord) {
    struct Case {
        const char* why;
        std::string text;
        uint32_t count;
    };
    const Case cases[] = {
        {"the final 1 runs to the end", "MOV AX, 1", 2},
        {"the comma separates", "a,b ", 2},
        {"punctuation separates", "a + b ", 2},
        {"a word at the end is not counted", "word", 0},
        {"empty", "", 0},
        {"digits are word bytes", "12 34\t", 2},
        {"underscore separates", "a_b ", 2},
        {"bytes of 128 and more separate",
         "ab\xE9"
         "cd\xFF",
         2},
        {"NUL separates", "ab\0"s, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CountWords(c.text.data(), uint32_t(c.text.size())), c.count) << c.why;
}

TEST(WordClasses, FindWordLocatesBytes33To122And128Up) {
    struct Case {
        const char* why;
        std::string text;
        uint32_t m;
        int32_t offset;  // -1: not found
        uint32_t length;
    };
    const Case cases[] = {
        {"first word", "MOV AX, 1", 1, 0, 3},
        {"the comma belongs to the word", "MOV AX, 1", 2, 4, 3},
        {"a word at the end is never found", "MOV AX, 1", 3, -1, 0},
        {"word 0 is never found", "MOV AX, 1", 0, -1, 0},
        {"a lone plus is a word", "a + b ", 2, 2, 1},
        {"braces separate", "x{y} ", 2, 2, 1},
        {"tilde and DEL separate", "x~y\x7F", 2, 2, 1},
        {"high bytes are word bytes", " \x80\xFF ", 1, 1, 2},
        {"empty text", "", 1, -1, 0},
        {"separators only", " ~{}|\r\n", 1, -1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        const TextSpan found = FindWord(c.m, c.text.data(), uint32_t(c.text.size()));
        if (c.offset < 0) {
            EXPECT_EQ(found, (TextSpan{nullptr, 0}));
        } else {
            EXPECT_EQ(found.address, c.text.data() + c.offset);
            EXPECT_EQ(found.length, c.length);
        }
    }
}

TEST(WordIndex, RecordsFollowCountingInNumberAndLocatingInContent) {
    struct Case {
        const char* why;
        std::string line;
        std::vector<std::string> records;
    };
    const Case cases[] = {
        {"the final 1 is not counted; the comma stays with AX", "MOV AX, 1", {"MOV", "AX,"}},
        {"a title without a trailing blank has no words", "Title", {}},
        {"two counted, one located: the second record is empty", "a,b ", {"a,b", ""}},
        {"three located, two counted: b is not indexed", "a + b ", {"a", "+"}},
        {"the same words in both classes", "one two ", {"one", "two"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        // The case's line is line 2, after a line with words, so entry 0 holds a real count.
        DocPtr doc = LoadBytes("X Y\r\n" + c.line + "\r\n");
        ASSERT_NE(doc, nullptr);
        ASSERT_EQ(doc->lineCount, 4u);
        EXPECT_EQ(doc->wordCounts[1], c.records.size());
        EXPECT_EQ(RecordWords(doc.get(), 2), c.records);
        if (c.records.empty()) {
            EXPECT_EQ(doc->wordLists[1], nullptr);
        }
    }
}

TEST(WordIndex, FirstLineWithoutWordsKeepsTheMagicButReadsAsEmpty) {
    DocPtr doc = LoadBytes("Title\r\nMOV AX, 1\r\n");
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->wordCounts[0], WORD_TABLE_MAGIC);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(doc->wordLists[0]), WORD_TABLE_MAGIC);
    EXPECT_EQ(std::memcmp(&doc->wordCounts[0], "QUIL", 4), 0);
    EXPECT_EQ(WordCountOfLine(doc.get(), 1), 0u);
    EXPECT_EQ(WordRecordAt(doc.get(), 1, 1), NO_WORD_RECORD);
    EXPECT_EQ(SearchWord(doc.get(), "title", 5), (WordMatch{-1, nullptr}));
    EXPECT_EQ(SearchWord(doc.get(), "mov", 3).record, WordRecordAt(doc.get(), 2, 1));
    // Marking and the release (under the sanitizers) must not follow the magic either.
    MarkWordsFound(doc.get(), doc.get());
    EXPECT_EQ(WordRecordAt(doc.get(), 2, 1)->tag, WORD_FOUND);
}

TEST(WordIndex, FirstLineWithWordsReplacesTheMagic) {
    DocPtr doc = LoadBytes("MOV AX, 1\r\n");
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->wordCounts[0], 2u);
    EXPECT_EQ(doc->wordLists[0][0], WordRecordAt(doc.get(), 1, 1));
}

TEST(WordIndex, OutOfRangeAnswers) {
    DocPtr doc = LoadBytes("ab cd \r\n\r\nef \r\n");  // lineCount 5; words 2, 0, 1
    ASSERT_NE(doc, nullptr);
    ASSERT_EQ(doc->lineCount, 5u);
    const int32_t lineCount = 5;
    struct Case {
        int32_t n;
        int32_t m;
    };
    const Case noRecord[] = {{0, 1}, {-1, 1}, {lineCount, 1}, {lineCount + 1, 1},
                             {1, 0}, {1, 3},  {1, -1},        {2, 1},
                             {3, 2}, {4, 1}};
    for (const Case& c : noRecord)
        EXPECT_EQ(WordRecordAt(doc.get(), c.n, c.m), NO_WORD_RECORD) << c.n << ", " << c.m;
    EXPECT_NE(WordRecordAt(doc.get(), 1, 2), NO_WORD_RECORD);
    EXPECT_NE(WordRecordAt(doc.get(), 3, 1), NO_WORD_RECORD);

    const int32_t noWords[] = {0, -1, 2, 4, lineCount, lineCount + 1, INT32_MIN};
    for (int32_t n : noWords) EXPECT_EQ(WordCountOfLine(doc.get(), n), 0u) << n;
    EXPECT_EQ(WordCountOfLine(doc.get(), 1), 2u);
    EXPECT_EQ(WordCountOfLine(doc.get(), 3), 1u);
}

TEST(WordIndex, AReleasedIndexReadsAsEmpty) {
    DocPtr doc = LoadBytes("ONE TWO \r\n");
    ASSERT_NE(doc, nullptr);
    ReleaseWordIndex(doc.get());
    ReleaseWordIndex(doc.get());  // a second release finds nothing to free
    ReleaseWordIndex(nullptr);
    EXPECT_EQ(WordCountOfLine(doc.get(), 1), 0u);
    EXPECT_EQ(WordRecordAt(doc.get(), 1, 1), NO_WORD_RECORD);
    EXPECT_EQ(SearchWord(doc.get(), "one", 3).found, -1);
    BuildWordIndex(doc.get());
    EXPECT_EQ(SearchWord(doc.get(), "one", 3).record, WordRecordAt(doc.get(), 1, 1));
}

TEST(WordSearch, UpperCasesOnlyTheSearchedWord) {
    struct Case {
        const char* why;
        std::string document;
        std::string word;
        int32_t line;  // of the record found, 0: not found
        int32_t number;
    };
    const Case cases[] = {
        {"capitals match lower-case search", "NEXT \r\n", "next", 1, 1},
        {"capitals match mixed-case search", "NEXT \r\n", "Next", 1, 1},
        {"capitals match capitals", "NEXT \r\n", "NEXT", 1, 1},
        {"small letters never match", "next \r\n", "next", 0, 0},
        {"small letters never match capitals", "next \r\n", "NEXT", 0, 0},
        {"the comma is part of the record", "MOV AX, 1\r\n", "ax", 0, 0},
        {"with the comma it matches", "MOV AX, 1\r\n", "ax,", 1, 2},
        {"lengths must be equal", "MOVE \r\n", "mov", 0, 0},
        {"first match in reading order", "X A \r\nA \r\n", "a", 1, 2},
        {"bytes of 128 and more are not case-mapped", "\xC9T\xE9 \r\n", "\xC9t\xE9", 1, 1},
        {"no mapping between high bytes", "\xC9T\xC9 \r\n", "\xE9T\xE9", 0, 0},
        {"a record not located has length 0 and never matches", "a,b \r\n", "A,B", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        DocPtr doc = LoadBytes(c.document);
        ASSERT_NE(doc, nullptr);
        const WordMatch match = SearchWord(doc.get(), c.word.data(), uint32_t(c.word.size()));
        if (c.line == 0)
            EXPECT_EQ(match, (WordMatch{-1, nullptr}));
        else
            EXPECT_EQ(match, (WordMatch{1, WordRecordAt(doc.get(), c.line, c.number)}));
    }
}

TEST(WordSearch, EmptyWordFindsNothing) {
    DocPtr doc = LoadBytes("A \r\n");
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(SearchWord(doc.get(), "", 0).found, -1);
    EXPECT_EQ(SearchWord(doc.get(), "a", 0).found, -1);
}

TEST(WordSearch, WordsLongerThanTheSearchBufferAreComparedWhole) {
    const std::string longWord(3000, 'Q');
    DocPtr doc = LoadBytes("A " + longWord + " \r\n" + std::string(2047, 'Z') + " \r\n");
    ASSERT_NE(doc, nullptr);
    const WordRecord* longRecord = WordRecordAt(doc.get(), 1, 2);
    ASSERT_EQ(longRecord->length, 3000u);

    std::string lower(3000, 'q');
    EXPECT_EQ(SearchWord(doc.get(), lower.data(), 3000).record, longRecord);
    lower[2999] = 'x';  // differs only past the 2047th byte
    EXPECT_EQ(SearchWord(doc.get(), lower.data(), 3000).found, -1);
    EXPECT_EQ(SearchWord(doc.get(), lower.data(), 2048).found, -1);  // a prefix is no match
    const std::string z(2047, 'z');
    EXPECT_EQ(SearchWord(doc.get(), z.data(), 2047).record, WordRecordAt(doc.get(), 2, 1));
    const std::string huge(TEXT_DOC_CAPACITY, 'q');
    EXPECT_EQ(SearchWord(doc.get(), huge.data(), uint32_t(huge.size())).found, -1);
}

TEST(WordMarks, EveryRecordGetsItsFirstResult) {
    DocPtr searched = LoadBytes("ALPHA BETA x,y \r\n");
    DocPtr marked = LoadBytes("alpha GAMMA a,b \r\nBETA X,Y \r\n");
    DocPtr other = LoadBytes("GAMMA A,B \r\n");
    ASSERT_TRUE(searched && marked && other);

    MarkWordsFound(searched.get(), marked.get());
    struct Case {
        int32_t n, m;
        uint32_t tag;
        const char* why;
    };
    const Case cases[] = {
        {1, 1, WORD_FOUND, "alpha searched as ALPHA"},
        {1, 2, WORD_NOT_FOUND, "GAMMA is not in the searched document"},
        {1, 3, WORD_NOT_FOUND, "a,b"},
        {1, 4, WORD_NOT_FOUND, "the record a,b left empty"},
        {2, 1, WORD_FOUND, "BETA"},
        {2, 2, WORD_NOT_FOUND, "X,Y: the searched x,y holds small letters"},
        {2, 3, WORD_NOT_FOUND, "the record X,Y left empty"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WordRecordAt(marked.get(), c.n, c.m)->tag, c.tag) << c.why;
    for (int32_t n = 1; n < int32_t(marked->lineCount); ++n)
        for (uint32_t m = 1; m <= WordCountOfLine(marked.get(), n); ++m)
            EXPECT_NE(WordRecordAt(marked.get(), n, int32_t(m))->tag, WORD_TAG);

    // Against a document that holds GAMMA, nothing changes: the first result stays.
    MarkWordsFound(other.get(), marked.get());
    for (const Case& c : cases)
        EXPECT_EQ(WordRecordAt(marked.get(), c.n, c.m)->tag, c.tag) << c.why;
}

TEST(WordStartTable, HoldsEachLinesLocatedWordsWithoutOverlap) {
    DocPtr doc = LoadBytes("MOV AX, 1\r\n\r\na,b \r\nab cd \r\nTitle");
    ASSERT_NE(doc, nullptr);
    ASSERT_EQ(doc->lineCount, 6u);
    EXPECT_EQ(doc->wordStarts, nullptr);
    BuildWordStartTable(doc.get());
    const uint32_t* table = doc->wordStarts;
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table[0], 6u);
    // (first word, located words) for lines 1 to 6
    const std::vector<uint32_t> lines = {0, 2, 2, 0, 2, 1, 3, 2, 5, 0, 5, 0};
    EXPECT_EQ(std::vector<uint32_t>(table + 1, table + 13), lines);
    const std::vector<uint32_t> offsets = {0, 4, 13, 19, 22};  // MOV AX, a,b ab cd
    EXPECT_EQ(std::vector<uint32_t>(table + 13, table + 18), offsets);

    BuildWordStartTable(doc.get());  // rebuilding replaces the block without a leak
    EXPECT_EQ(std::vector<uint32_t>(doc->wordStarts + 13, doc->wordStarts + 18), offsets);
}

// Small texts from an alphabet rich in separators and line ends: the index built in one walk per
// line must hold what FindWord gives for every word number, and the search must find what a
// plain scan of the records finds.
TEST(WordIndex, RandomTextsAgreeWithFindWordAndAPlainSearch) {
    const std::string alphabet = "aAzZ09 ,+{~\t\r\n\n\x80\xFF"s + '\0';
    std::mt19937 random(20240611);
    for (int round = 0; round < 300; ++round) {
        std::string text(random() % 200, ' ');
        for (char& c : text) c = alphabet[random() % alphabet.size()];
        text += "\r\n";
        DocPtr doc = LoadBytes(text);
        ASSERT_NE(doc, nullptr);
        const char* end = doc->text + doc->textSize;
        std::vector<const WordRecord*> all;
        for (int32_t n = 1; n <= int32_t(doc->lineCount); ++n) {
            const TextSpan line = GetLineText(n, doc.get());
            ASSERT_LE(line.address + line.length, end);
            const uint32_t words = WordCountOfLine(doc.get(), n);
            ASSERT_EQ(words, CountWords(line.address, line.length));
            for (uint32_t m = 1; m <= words; ++m) {
                const WordRecord* record = WordRecordAt(doc.get(), n, int32_t(m));
                const TextSpan located = FindWord(m, line.address, line.length);
                ASSERT_EQ(record->start, located.address) << text;
                ASSERT_EQ(record->length, located.length) << text;
                all.push_back(record);
            }
        }
        for (const WordRecord* record : all) {
            if (record->length == 0) continue;
            const std::string word(record->start, record->length);
            const std::string upper = Upper(word);
            const WordRecord* expected = nullptr;
            for (const WordRecord* candidate : all)
                if (candidate->length == upper.size() &&
                    std::memcmp(candidate->start, upper.data(), upper.size()) == 0) {
                    expected = candidate;
                    break;
                }
            const WordMatch match = SearchWord(doc.get(), word.data(), uint32_t(word.size()));
            EXPECT_EQ(match.record, expected) << text;
            EXPECT_EQ(match.found, expected ? 1 : -1);
        }
        MarkWordsFound(doc.get(), doc.get());
        for (const WordRecord* record : all) EXPECT_NE(record->tag, WORD_TAG);
    }
}

}  // namespace
