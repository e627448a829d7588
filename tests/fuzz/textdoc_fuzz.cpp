// Loads arbitrary bytes as a text document and runs every line, word, search and mark operation
// over it, out-of-range numbers included. Any read or write outside the text, the tables or the
// word arrays is caught by the sanitizers; a broken invariant traps.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "text/text_doc.h"
#include "text/word_index.h"

namespace {

void Require(bool condition) {
    if (!condition) __builtin_trap();
}

const std::string& DocumentPath() {
    static const std::string path =
        (access("/dev/shm", W_OK) == 0 ? std::string("/dev/shm") : std::string("/tmp")) +
        "/velmora_textdoc_fuzz_" + std::to_string(getpid());
    return path;
}

bool InsideText(const TextDoc* doc, const char* start, uint32_t length) {
    return start >= doc->text && start + length <= doc->text + doc->textSize;
}

void CheckLines(const TextDoc* doc) {
    const int32_t lineCount = int32_t(doc->lineCount);
    for (int32_t n = -1; n <= lineCount + 1; ++n) {
        const TextSpan line = GetLineText(n, doc);
        Require(line.length == LineLength(doc, n));
        Require(line.length == 0 || InsideText(doc, line.address, line.length));
        if (n < 1 || n >= lineCount - 1) Require(line.length == 0);
    }
}

void CheckWords(const TextDoc* doc, uint32_t& unmarked) {
    const int32_t lineCount = int32_t(doc->lineCount);
    for (int32_t n = -1; n <= lineCount + 1; ++n) {
        const uint32_t words = WordCountOfLine(doc, n);
        const TextSpan line = GetLineText(n, doc);
        Require(words == CountWords(line.address, line.length));
        Require(WordRecordAt(doc, n, 0) == NO_WORD_RECORD);
        Require(WordRecordAt(doc, n, int32_t(words) + 1) == NO_WORD_RECORD);
        for (uint32_t m = 1; m <= words; ++m) {
            const WordRecord* record = WordRecordAt(doc, n, int32_t(m));
            Require(record != NO_WORD_RECORD && record->remaining == words - m + 1);
            Require(record->length == 0 || InsideText(doc, record->start, record->length));
            if (record->tag == WORD_TAG) ++unmarked;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& path = DocumentPath();
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    TextDoc* doc = LoadTextDoc(path.c_str());
    std::remove(path.c_str());
    if (doc == nullptr) return 0;

    uint32_t unmarked = 0;
    CheckLines(doc);
    CheckWords(doc, unmarked);

    // Search for the input's first bytes and for every word of the document.
    const uint32_t probe = uint32_t(size < 40 ? size : 40);
    const WordMatch match = SearchWord(doc, reinterpret_cast<const char*>(data), probe);
    Require(match.found == -1 || (match.record->length == probe));

    MarkWordsFound(doc, doc);
    unmarked = 0;
    CheckWords(doc, unmarked);
    Require(unmarked == 0);

    BuildWordStartTable(doc);
    const uint32_t* table = doc->wordStarts;
    Require(table[0] == doc->lineCount);
    const uint32_t* wordArea = table + 1 + 2 * size_t(doc->lineCount);
    for (uint32_t n = 1; n <= doc->lineCount; ++n)
        for (uint32_t k = 0; k < table[2 * n]; ++k)
            Require(wordArea[table[2 * n - 1] + k] < doc->textSize);

    // Copy the input, NUL-terminated, into a text-sized block at every line start.
    std::vector<char> source(data, data + size);
    source.push_back('\0');
    std::vector<char> destination(doc->textSize);
    for (int32_t n = 0; n <= int32_t(doc->lineCount); ++n) {
        const int32_t copied =
            CopyToLineStart(n, doc->lineIndex, doc->lineCount, destination.data(), source.data(),
                            uint32_t(destination.size()));
        Require(copied == -1 ||
                (copied >= 1 && destination[size_t(LineStart(n, doc->lineIndex, doc->lineCount)) +
                                            size_t(copied) - 1] == '\0'));
    }

    FreeTextDoc(doc);
    return 0;
}
