// Text documents: a text file loaded whole into one fixed buffer, with a line-start table so any
// line is found by number in one lookup, and a word index (text/word_index.h) built at load.
// The text view shows documents line by line through GetLineText. Lines end with CR LF; bare LF
// line ends are indexed too (see LoadTextDoc). Lines are numbered from 1, and lineCount is one
// more than the number of lines: the exclusive upper bound of every line number.
#pragma once
#include <cstdint>

constexpr uint32_t TEXT_DOC_MAGIC = 0x54585431;  // "1TXT" in memory order
constexpr uint32_t TEXT_DOC_CAPACITY = 1000000;  // text buffer size; longer files are cut

struct WordRecord;

struct TextDoc {
    uint32_t magic;        // TEXT_DOC_MAGIC
    char* text;            // TEXT_DOC_CAPACITY bytes, zero-filled, the file's bytes from its start
    uint32_t* lineIndex;   // lineCount entries: entry k is the offset just after the k-th LF
    uint32_t textSize;     // bytes read from the file
    uint32_t lineCount;    // line feeds + 2 (= carriage returns + 2 in a CR LF text)
    uint32_t* wordStarts;  // made by BuildWordStartTable, 0 until then
    WordRecord*** wordLists;  // per line: its word array, entry n - 1 for line n
    uint32_t* wordCounts;     // per line: its number of words
};

// An address and a length; the address is 0 where the length is 0 and nothing was found.
struct TextSpan {
    char* address;
    uint32_t length;
    bool operator==(const TextSpan&) const = default;
};

// Loads the file with its line and word indexes; 0 when the path does not exist (nothing is
// created) or the text holds no line feed (empty, one line without a break, unreadable).
// Only the first TEXT_DOC_CAPACITY bytes are read.
// Line ends are line feeds; a CR just before one belongs to the line end, a CR anywhere else is
// text, so CR LF, bare LF and mixed texts all index with lineCount = line feeds + 2.
TextDoc* LoadTextDoc(const char* path);
// Releases the text, the line index, the word index and the word-start table; 0 is ignored.
void FreeTextDoc(TextDoc* doc);

// Carriage returns among the first size bytes, plus 2. A size of 0 reads no byte and gives 2.
uint32_t CountLines(const char* text, uint32_t size);
// Writes entry 0 = 0 and, for every LF, the offset after it into the next entry; returns the
// number of line feeds. The table must hold line feeds + 1 entries. A size of 0 reads no byte.
uint32_t BuildLineIndex(const char* text, uint32_t* table, uint32_t size);
// Start offset of line n, or -1 when n is outside 1 to lineCount - 1.
int32_t LineStart(int32_t n, const uint32_t* table, uint32_t lineCount);
// Length of line n without its line end (LF, or CR LF). 0 for the last line (the text after
// the last line break), and 0 for every n outside 1 to lineCount - 1, never negative.
uint32_t LineLength(const TextDoc* doc, int32_t n);
// Line n's first character and length. The line is not NUL-terminated. Outside 1 to
// lineCount - 1 the answer is the text's start with length 0.
TextSpan GetLineText(int32_t n, const TextDoc* doc);
// Copies source into destination from line n's start offset up to and including the first NUL,
// ';' or CR, then turns that stop byte into NUL; returns the bytes copied including the stop
// byte, or -1 for a line outside the table. -1 too, writing nothing, when the stop byte would
// fall at or beyond destinationSize (the size of a document's text buffer unless given).
int32_t CopyToLineStart(int32_t n, const uint32_t* table, uint32_t lineCount, char* destination,
                        const char* source, uint32_t destinationSize = TEXT_DOC_CAPACITY);
