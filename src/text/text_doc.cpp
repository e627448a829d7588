#include "text/text_doc.h"

#include <cstdlib>
#include <cstring>

#include "text/word_index.h"
#include "util/files.h"

namespace {

constexpr char CR = 13;
constexpr char LF = 10;

uint32_t CountLineFeeds(const char* text, uint32_t size) {
    uint32_t count = 0;
    for (const char* p = text;
         (p = static_cast<const char*>(std::memchr(p, LF, size_t(text + size - p)))) != nullptr;
         ++p)
        ++count;
    return count;
}

}  // namespace

TextDoc* LoadTextDoc(const char* path) {
    // Test first: the read would create a missing file.
    if (FileExists(path) != 1) return nullptr;
    auto* doc = static_cast<TextDoc*>(std::calloc(1, sizeof(TextDoc)));
    doc->magic = TEXT_DOC_MAGIC;
    doc->text = static_cast<char*>(std::calloc(TEXT_DOC_CAPACITY, 1));
    uint32_t bytesRead = 0;
    ReadFileBytes(doc->text, path, &bytesRead, TEXT_DOC_CAPACITY);
    if (bytesRead > TEXT_DOC_CAPACITY) bytesRead = TEXT_DOC_CAPACITY;

    // The table is sized by the line feeds, not the carriage returns: it then fits bare LF texts,
    // and a text cut between a CR and its LF leaves no entry unfilled.
    const uint32_t lineFeeds = CountLineFeeds(doc->text, bytesRead);
    doc->lineIndex = static_cast<uint32_t*>(std::calloc(size_t(lineFeeds) + 2, sizeof(uint32_t)));
    if (BuildLineIndex(doc->text, doc->lineIndex, bytesRead) == 0) {
        std::free(doc->text);
        std::free(doc->lineIndex);
        std::free(doc);
        return nullptr;
    }
    doc->textSize = bytesRead;
    doc->lineCount = lineFeeds + 2;
    BuildWordIndex(doc);
    return doc;
}

void FreeTextDoc(TextDoc* doc) {
    if (doc == nullptr) return;
    std::free(doc->text);
    std::free(doc->lineIndex);
    ReleaseWordIndex(doc);
    std::free(doc->wordStarts);
    std::free(doc);
}

uint32_t CountLines(const char* text, uint32_t size) {
    uint32_t count = 0;
    for (uint32_t p = 0; p < size; ++p)
        if (text[p] == CR) ++count;
    return count + 2;
}

uint32_t BuildLineIndex(const char* text, uint32_t* table, uint32_t size) {
    table[0] = 0;
    uint32_t count = 0;
    for (uint32_t p = 0; p < size; ++p)
        if (text[p] == LF) table[++count] = p + 1;
    return count;
}

int32_t LineStart(int32_t n, const uint32_t* table, uint32_t lineCount) {
    if (uint32_t(n) < lineCount && n > 0) return int32_t(table[n - 1]);
    return -1;
}

uint32_t LineLength(const TextDoc* doc, int32_t n) {
    // Line lineCount - 1 is whatever follows the last line break: never a line of its own.
    if (n < 1 || uint32_t(n) + 1 >= doc->lineCount) return 0;
    const uint32_t start = doc->lineIndex[n - 1];
    const uint32_t next = doc->lineIndex[n];  // just after this line's LF
    if (next <= start) return 0;
    uint32_t length = next - start - 1;
    if (length > 0 && doc->text[next - 2] == CR) --length;
    return length;
}

TextSpan GetLineText(int32_t n, const TextDoc* doc) {
    const int32_t start = LineStart(n, doc->lineIndex, doc->lineCount);
    if (start < 0) return {doc->text, 0};
    return {doc->text + start, LineLength(doc, n)};
}

int32_t CopyToLineStart(int32_t n, const uint32_t* table, uint32_t lineCount, char* destination,
                        const char* source, uint32_t destinationSize) {
    const int32_t start = LineStart(n, table, lineCount);
    if (start < 0) return -1;
    // Find the stop byte first, so a copy that would not fit writes nothing.
    uint32_t count = 0;
    while (true) {
        if (uint32_t(start) + count >= destinationSize) return -1;
        const char c = source[count++];
        if (c == '\0' || c == ';' || c == CR) break;
    }
    std::memcpy(destination + start, source, count - 1);
    destination[uint32_t(start) + count - 1] = '\0';
    return int32_t(count);
}
