// Byte-string helpers and number formatters over NUL-terminated single-byte strings. Destination
// buffers are the caller's and must be large enough.
#pragma once
#include <cstdint>

uint32_t StringLength(const char* text);
// Appends source (with its NUL) at destination's NUL; returns destination.
char* AppendString(char* destination, const char* source);
// 1-based position of the first CR (13) or NUL within maxBytes, or -1. At least one byte is read.
int32_t FindLineEnd(const char* text, int32_t maxBytes);
void CopyBytes(void* destination, const void* source, int32_t count);
// 1 when the count bytes are equal, 0 at the first difference; a count of 0 gives 1.
int32_t CompareBytes(const void* a, const void* b, uint32_t count);
// Copies up to a NUL or a control byte below 16 (tabs become spaces); see the implementation.
uint32_t CopyUntilControl(const char* source, char* destination);
// Decimal digits of value; returns the count written, without the NUL. 11 bytes always suffice.
uint32_t FormatUnsigned(uint32_t value, char* destination);
// Eight upper-case hexadecimal digits and a NUL (9 bytes).
void FormatHex8(uint32_t value, char* destination);
