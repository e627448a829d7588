#include "text/word_index.h"

#include <cstdlib>
#include <vector>

#include "util/strings.h"

namespace {

constexpr uint32_t SEARCH_BUFFER_SIZE = 2048;  // the word and its NUL

// Counting class: ASCII digits and letters.
bool IsCountedByte(uint8_t c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Locating class: '!' to 'z' and every byte from 128; separators are 0-32 and '{' to DEL.
bool IsLocatedByte(uint8_t c) {
    return (c >= 33 && c <= 122) || c >= 128;
}

uint8_t UpperByte(uint8_t c) {
    return (c >= 'a' && c <= 'z') ? uint8_t(c - 32) : c;
}

// Calls visit(start, length) for the first `limit` located words of the text, in order: the
// same words FindWord(1 .. limit) gives, in one pass over the text. Returns how many it found.
template <typename Visit>
uint32_t LocateWords(char* text, uint32_t length, uint32_t limit, Visit visit) {
    uint32_t found = 0;
    char* start = nullptr;
    for (uint32_t p = 0; p < length && found < limit; ++p) {
        if (IsLocatedByte(uint8_t(text[p]))) {
            if (start == nullptr) start = text + p;
        } else if (start != nullptr) {
            visit(start, uint32_t(text + p - start));
            start = nullptr;
            ++found;
        }
    }
    return found;
}

// Entry i of the word tables. Entry 0 holds WORD_TABLE_MAGIC while line 1 has no words: a line
// holds at most TEXT_DOC_CAPACITY / 2 words, so the magic can never be a real count.
uint32_t StoredWordCount(const TextDoc* doc, uint32_t i) {
    if (doc->wordCounts == nullptr) return 0;  // released
    const uint32_t count = doc->wordCounts[i];
    return (i == 0 && count == WORD_TABLE_MAGIC) ? 0 : count;
}

WordRecord** TableMagicAsList() {
    return reinterpret_cast<WordRecord**>(uintptr_t{WORD_TABLE_MAGIC});
}

}  // namespace

uint32_t CountWords(const char* text, uint32_t length) {
    uint32_t count = 0;
    bool inWord = false;
    for (uint32_t p = 0; p < length; ++p) {
        if (IsCountedByte(uint8_t(text[p]))) {
            inWord = true;
        } else if (inWord) {
            ++count;
            inWord = false;
        }
    }
    return count;
}

TextSpan FindWord(uint32_t m, const char* text, uint32_t length) {
    uint32_t passed = 0;
    const char* start = nullptr;
    for (uint32_t p = 0; p < length; ++p) {
        if (IsLocatedByte(uint8_t(text[p]))) {
            if (start == nullptr) start = text + p;
        } else if (start != nullptr) {
            if (++passed == m) return {const_cast<char*>(start), uint32_t(text + p - start)};
            start = nullptr;
        }
    }
    return {nullptr, 0};
}

void BuildWordIndex(TextDoc* doc) {
    ReleaseWordIndex(doc);
    const uint32_t lines = doc->lineCount;
    doc->wordLists = static_cast<WordRecord***>(std::calloc(lines, sizeof(WordRecord**)));
    doc->wordCounts = static_cast<uint32_t*>(std::calloc(lines, sizeof(uint32_t)));
    doc->wordLists[0] = TableMagicAsList();
    doc->wordCounts[0] = WORD_TABLE_MAGIC;
    // Lines lineCount - 1 and lineCount have length 0 and no words.
    for (uint32_t n = 1; n + 1 < lines; ++n) {
        const TextSpan line = GetLineText(int32_t(n), doc);
        const uint32_t words = CountWords(line.address, line.length);
        if (words == 0) continue;
        // The word array and its records in one zero-filled block; records the locating walk
        // does not reach keep start 0 and length 0.
        auto** list = static_cast<WordRecord**>(
            std::calloc(1, size_t(words) * (sizeof(WordRecord*) + sizeof(WordRecord))));
        auto* records = reinterpret_cast<WordRecord*>(list + words);
        for (uint32_t m = 0; m < words; ++m) {
            records[m].tag = WORD_TAG;
            records[m].remaining = words - m;
            list[m] = &records[m];
        }
        uint32_t m = 0;
        LocateWords(line.address, line.length, words, [&](char* start, uint32_t length) {
            records[m].start = start;
            records[m].length = length;
            ++m;
        });
        doc->wordCounts[n - 1] = words;
        doc->wordLists[n - 1] = list;
    }
}

void ReleaseWordIndex(TextDoc* doc) {
    if (doc == nullptr || doc->wordCounts == nullptr || doc->wordLists == nullptr) return;
    for (uint32_t i = 0; i < doc->lineCount; ++i)
        if (StoredWordCount(doc, i) != 0) std::free(doc->wordLists[i]);
    std::free(doc->wordLists);
    std::free(doc->wordCounts);
    doc->wordLists = nullptr;
    doc->wordCounts = nullptr;
}

uint32_t WordCountOfLine(const TextDoc* doc, int32_t n) {
    const uint32_t i = uint32_t(n) - 1;
    if (i >= doc->lineCount) return 0;
    return StoredWordCount(doc, i);
}

WordRecord* WordRecordAt(const TextDoc* doc, int32_t n, int32_t m) {
    if (n < 1 || uint32_t(n) >= doc->lineCount) return NO_WORD_RECORD;
    if (m < 1 || uint32_t(m) > StoredWordCount(doc, uint32_t(n) - 1)) return NO_WORD_RECORD;
    return doc->wordLists[n - 1][m - 1];
}

WordMatch SearchWord(const TextDoc* doc, const char* word, uint32_t length) {
    const WordMatch none{-1, nullptr};
    if (doc == nullptr || length == 0) return none;
    char local[SEARCH_BUFFER_SIZE];
    std::vector<char> large;  // only for words that do not fit the local buffer
    char* upper = local;
    if (length >= SEARCH_BUFFER_SIZE) {
        large.resize(size_t(length) + 1);
        upper = large.data();
    }
    for (uint32_t i = 0; i < length; ++i) upper[i] = char(UpperByte(uint8_t(word[i])));
    upper[length] = '\0';

    for (uint32_t i = 0; i < doc->lineCount; ++i) {
        const uint32_t words = StoredWordCount(doc, i);
        for (uint32_t m = 0; m < words; ++m) {
            WordRecord* record = doc->wordLists[i][m];
            if (record->length == length && CompareBytes(record->start, upper, length) == 1)
                return {1, record};
        }
    }
    return none;
}

void MarkWordsFound(const TextDoc* searched, TextDoc* marked) {
    if (searched == nullptr || marked == nullptr) return;
    for (uint32_t i = 0; i < marked->lineCount; ++i) {
        const uint32_t words = StoredWordCount(marked, i);
        for (uint32_t m = 0; m < words; ++m) {
            WordRecord* record = marked->wordLists[i][m];
            // A record that already carries a result keeps it, so its search can be skipped.
            if (record->tag != WORD_TAG) continue;
            const WordMatch match = SearchWord(searched, record->start, record->length);
            record->tag = match.found == 1 ? WORD_FOUND : WORD_NOT_FOUND;
        }
    }
}

void BuildWordStartTable(TextDoc* doc) {
    const uint32_t lines = doc->lineCount;
    const auto lineWords = [doc](uint32_t n, auto visit) {
        const TextSpan line = GetLineText(int32_t(n), doc);
        return LocateWords(line.address, line.length, CountWords(line.address, line.length), visit);
    };
    uint64_t total = 0;
    for (uint32_t n = 1; n <= lines; ++n) total += lineWords(n, [](char*, uint32_t) {});

    std::free(doc->wordStarts);
    const size_t head = 1 + size_t(lines) * 2;
    auto* table = static_cast<uint32_t*>(std::calloc(head + total, sizeof(uint32_t)));
    table[0] = lines;
    uint32_t* wordArea = table + head;
    uint32_t next = 0;
    for (uint32_t n = 1; n <= lines; ++n) {
        table[2 * n - 1] = next;
        table[2 * n] = lineWords(
            n, [&](char* start, uint32_t) { wordArea[next++] = uint32_t(start - doc->text); });
    }
    doc->wordStarts = table;
}
