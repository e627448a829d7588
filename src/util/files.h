// Files and the program's own directory: one-call reads and writes, the existence test.
// Paths may use '\' or '/' as the separator.
#pragma once
#include <cstdint>

// Reads at most maxBytes from the start of the file into destination; *bytesRead tells how many.
// A missing file is created empty and reads as 0 bytes.
void ReadFileBytes(void* destination, const char* path, uint32_t* bytesRead, uint32_t maxBytes);
// Writes count bytes at offset 0 without truncating: a longer file keeps its tail.
void WriteFileBytes(const void* source, const char* path, uint32_t* bytesWritten, uint32_t count);
// 1 when anything matches the path (a directory counts; wildcards * and ? match), 0 otherwise.
int32_t FileExists(const char* path);
// Writes the running program's directory, ending with the separator, into a buffer of at least
// 128 bytes; returns the buffer.
char* GetModuleDirectory(char* destination);
