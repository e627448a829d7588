// The word index of a text document: for every line its word count and an array of word records
// pointing into the document's text, built by LoadTextDoc and released by FreeTextDoc. On top of
// it: a search for a word written in capitals, and a cross-check that marks every word of one
// document with whether it occurs in another.
// Words are counted with one character class (letters and digits) and located with another
// (bytes 33 to 122 and 128 to 255), so a line's records may hold fewer or other words than
// counted; both walks only see a word once a separator follows it inside the line.
#pragma once
#include <cstdint>

#include "text/text_doc.h"

constexpr uint32_t WORD_TAG = 0x46464646;          // "FFFF": a record not marked yet
constexpr uint32_t WORD_TABLE_MAGIC = 0x4C495551;  // "QUIL" in memory order
constexpr uint32_t WORD_FOUND = 1;                 // tags written by MarkWordsFound
constexpr uint32_t WORD_NOT_FOUND = 0xFFFFFFFF;    // -1

struct WordRecord {
    uint32_t tag;        // WORD_TAG, or WORD_FOUND / WORD_NOT_FOUND once marked
    char* start;         // the word's first byte in the document's text; 0 when not located
    uint32_t length;     // 0 when not located
    uint32_t remaining;  // words from this one to the end of its line (the count for word 1)
    uint32_t reserved;   // always 0
};

// WordRecordAt's answer for a line or word number out of range (-1 as an address).
inline WordRecord* const NO_WORD_RECORD = reinterpret_cast<WordRecord*>(intptr_t(-1));

// SearchWord's answer: found 1 with the first matching record in reading order, or -1 and 0.
struct WordMatch {
    int32_t found;
    WordRecord* record;
    bool operator==(const WordMatch&) const = default;
};

// Words of ASCII letters and digits that a separator follows within length bytes.
uint32_t CountWords(const char* text, uint32_t length);
// The m-th word of the locating class that a separator follows; {0, 0} when there is none.
TextSpan FindWord(uint32_t m, const char* text, uint32_t length);
// Builds wordCounts, wordLists and the records of every line; an existing index is released
// first. A line's word array and its records share one allocation, freed with the array.
// Entry 0 of both tables keeps WORD_TABLE_MAGIC while line 1 has no words; every reader takes
// the magic there for a count of 0 and never follows wordLists entry 0 then.
void BuildWordIndex(TextDoc* doc);
// Frees the records, word arrays and tables; lines then read as empty. 0 is ignored.
void ReleaseWordIndex(TextDoc* doc);
// Line n's word count; 0 for n outside 1 to lineCount.
uint32_t WordCountOfLine(const TextDoc* doc, int32_t n);
// The record of word m on line n, or NO_WORD_RECORD unless 1 <= n < lineCount and
// 1 <= m <= the line's word count.
WordRecord* WordRecordAt(const TextDoc* doc, int32_t n, int32_t m);
// Finds the first record equal to the word upper-cased (ASCII a-z only; bytes of 128 or more
// are compared unchanged). The document's words are not upper-cased. A length of 0 finds
// nothing. Words longer than 2047 bytes are upper-cased into a heap copy and searched whole.
WordMatch SearchWord(const TextDoc* doc, const char* word, uint32_t length);
// Searches every word of marked in searched and writes the result into the record's tag, for
// records still tagged WORD_TAG only: a record keeps its first result. 0 documents are ignored.
void MarkWordsFound(const TextDoc* searched, TextDoc* marked);
// Builds (or rebuilds) the word-start table in wordStarts, 32-bit entries:
//   [0] lineCount; [2n - 1], [2n] for line n: index of its first word in the word area and its
//   number of located words; then the word area: each located word's offset in the text, in
//   reading order. The block is sized for the words found; FreeTextDoc releases it.
void BuildWordStartTable(TextDoc* doc);
