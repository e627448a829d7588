// Byte-string helpers and number formatters over NUL-terminated single-byte strings: caption
// measuring, word search, title and dump formatting, path building. Destination buffers are the
// caller's and must be large enough.
#pragma once
#include <cstdint>

uint32_t StringLength(const char* text);
// Appends source (with its NUL) at destination's NUL; returns destination. Nothing bounds it.
char* AppendString(char* destination, const char* source);
// 1-based position of the first CR (13) or NUL within the first maxBytes bytes, or -1 when there
// is none. A maxBytes of 0 or less examines no byte and answers -1.
int32_t FindLineEnd(const char* text, int32_t maxBytes);
// Copies count bytes from the lowest address up; a count of 0 or less copies nothing. Overlapping
// blocks are copied byte by byte in that order too, so a destination just above its source
// repeats the source's first bytes.
void CopyBytes(void* destination, const void* source, int32_t count);
// 1 when the count bytes are equal, 0 at the first difference; a count of 0 gives 1.
int32_t CompareBytes(const void* a, const void* b, uint32_t count);
// Copies source up to its NUL or its first control byte below 16 and returns the number of bytes
// copied before that stop. A tab is copied (and counted) as a space. At a NUL nothing more is
// written, not even a NUL. A control byte (CR, LF, ...) is copied, followed by a NUL, and is not
// counted.
uint32_t CopyUntilControl(const char* source, char* destination);
// Decimal digits of value ("%lu"); returns the count written, without the NUL. 11 bytes always
// suffice.
uint32_t FormatUnsigned(uint32_t value, char* destination);
// Eight upper-case hexadecimal digits, most significant first, and a NUL (9 bytes).
void FormatHex8(uint32_t value, char* destination);
