// Files and the program's own directory: one-call reads and writes, the existence test.
// Used by the text documents, BMP drawing and the external tools. Paths may use '\' or '/' as
// the separator: every '\' is taken as '/' on the way to the system.
#pragma once
#include <cstdint>

// Reads at most maxBytes from the start of the file into destination; *bytesRead tells how many
// (bytesRead may be null). The file is opened for reading and writing, so a missing file is
// created empty and reads as 0 bytes. A file that cannot be opened for writing (read-only) is
// read through a read-only open rather than reported empty. A file longer than maxBytes yields
// its first maxBytes. Returns 1 when the file was opened and read without an error (a file
// shorter than maxBytes counts as success), 0 otherwise.
int32_t ReadFileBytes(void* destination, const char* path, uint32_t* bytesRead, uint32_t maxBytes);
// Writes count bytes at offset 0 without truncating: a longer file keeps its tail. A missing file
// is created. *bytesWritten tells how many were written (may be null). Returns 1 when all count
// bytes were written, 0 otherwise.
int32_t WriteFileBytes(const void* source, const char* path, uint32_t* bytesWritten,
                       uint32_t count);
// Size in bytes of the regular file at path (symbolic links followed); 0 when there is none.
// Creates nothing, unlike a read.
uint64_t FileByteCount(const char* path);
// 1 when anything matches the path, 0 otherwise; creates nothing. A directory counts. Wildcards *
// and ? may stand in the last component and match any entry but "." and "..", names beginning
// with a dot included; '[' is an ordinary character.
int32_t FileExists(const char* path);
// Writes the running program's directory, ending with '/' (the separator on Linux), into a buffer
// of at least 128 bytes; returns the buffer. When the program's path cannot be read, has no
// separator or its directory does not fit in 128 bytes, the buffer holds an empty string, so
// names appended to it resolve against the current directory.
char* GetModuleDirectory(char* destination);
// The directory part of path, up to and including its last '/' or '\', into destination of
// capacity bytes; an empty string when path has no separator or its directory does not fit.
// Returns destination. GetModuleDirectory applies it to the program's path with capacity 128.
char* DirectoryOfPath(const char* path, char* destination, uint32_t capacity);
