#include "util/strings.h"

#include <cstdio>
#include <cstring>

uint32_t StringLength(const char* text) {
    return static_cast<uint32_t>(std::strlen(text));
}

char* AppendString(char* destination, const char* source) {
    char* end = destination + StringLength(destination);
    do {
        *end++ = *source;
    } while (*source++ != '\0');
    return destination;
}

int32_t FindLineEnd(const char* text, int32_t maxBytes) {
    for (int32_t position = 1; position <= maxBytes; ++position) {
        const char byte = text[position - 1];
        if (byte == '\r' || byte == '\0') return position;
    }
    return -1;
}

void CopyBytes(void* destination, const void* source, int32_t count) {
    if (count <= 0) return;
    auto* to = static_cast<unsigned char*>(destination);
    const auto* from = static_cast<const unsigned char*>(source);
    const size_t n = static_cast<size_t>(count);
    // Blocks that do not overlap take the fast path; overlapping ones keep the byte order.
    if (to + n <= from || from + n <= to) {
        std::memcpy(to, from, n);
        return;
    }
    for (size_t i = 0; i < n; ++i) to[i] = from[i];
}

int32_t CompareBytes(const void* a, const void* b, uint32_t count) {
    return (count == 0 || std::memcmp(a, b, count) == 0) ? 1 : 0;
}

uint32_t CopyUntilControl(const char* source, char* destination) {
    uint32_t count = 0;
    for (;;) {
        const unsigned char byte = static_cast<unsigned char>(source[count]);
        if (byte == 0) return count;
        if (byte == '\t') {
            destination[count++] = ' ';
            continue;
        }
        destination[count] = static_cast<char>(byte);
        if (byte < 16) {
            destination[count + 1] = '\0';
            return count;
        }
        ++count;
    }
}

uint32_t FormatUnsigned(uint32_t value, char* destination) {
    const int written = std::snprintf(destination, 11, "%lu", static_cast<unsigned long>(value));
    return static_cast<uint32_t>(written);
}

void FormatHex8(uint32_t value, char* destination) {
    static const char digits[] = "0123456789ABCDEF";
    destination[8] = '\0';
    for (int position = 7; position >= 0; --position) {
        destination[position] = digits[value & 0xF];
        value >>= 4;
    }
}
