// Test helpers: documents loaded from bytes written to a temporary file, freed at scope end.
#pragma once
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>

#include "text/text_doc.h"

struct TextDocFree {
    void operator()(TextDoc* doc) const { FreeTextDoc(doc); }
};
using DocPtr = std::unique_ptr<TextDoc, TextDocFree>;

// A fresh path in the temporary directory, removed (if it exists) when the object goes.
class TempPath {
  public:
    TempPath() {
        static int serial = 0;
        path_ = std::filesystem::temp_directory_path() /
                ("velmora_text_" + std::to_string(getpid()) + "_" + std::to_string(serial++));
        std::filesystem::remove_all(path_);
    }
    ~TempPath() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempPath(const TempPath&) = delete;
    TempPath& operator=(const TempPath&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string str() const { return path_.string(); }
    void Write(std::string_view bytes) const {
        std::ofstream(path_, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
    }

  private:
    std::filesystem::path path_;
};

inline DocPtr LoadBytes(std::string_view bytes) {
    TempPath file;
    file.Write(bytes);
    return DocPtr(LoadTextDoc(file.str().c_str()));
}

inline std::string LineString(const TextDoc* doc, int32_t n) {
    const TextSpan line = GetLineText(n, doc);
    return std::string(line.address, line.length);
}
