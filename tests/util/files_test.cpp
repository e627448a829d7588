#include "util/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A fresh directory per test, removed afterwards.
class FilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "velmora-files-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir = pattern;
    }
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(dir, ignored);
    }
    std::string Path(const std::string& name) const { return (dir / name).string(); }
    void Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(Path(name), std::ios::binary) << bytes;
    }
    std::string Contents(const std::string& name) const {
        std::ifstream in(Path(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    fs::path dir;
};

TEST_F(FilesTest, ReadOfAMissingFileCreatesItEmpty) {
    char buffer[8] = "#######";
    uint32_t bytesRead = 99;
    EXPECT_EQ(ReadFileBytes(buffer, Path("new.txt").c_str(), &bytesRead, 8), 1);
    EXPECT_EQ(bytesRead, 0u);
    EXPECT_STREQ(buffer, "#######");
    ASSERT_TRUE(fs::is_regular_file(Path("new.txt")));
    EXPECT_EQ(fs::file_size(Path("new.txt")), 0u);
}

TEST_F(FilesTest, ReadYieldsAtMostMaxBytesFromTheStart) {
    Write("data.bin", "0123456789");
    struct Case {
        uint32_t maxBytes;
        uint32_t expected;
    } cases[] = {{4, 4}, {10, 10}, {64, 10}, {0, 0}};
    for (const Case& c : cases) {
        std::vector<char> buffer(64, '#');
        uint32_t bytesRead = 99;
        EXPECT_EQ(ReadFileBytes(buffer.data(), Path("data.bin").c_str(), &bytesRead, c.maxBytes),
                  1);
        EXPECT_EQ(bytesRead, c.expected);
        EXPECT_EQ(std::string(buffer.data(), c.expected), std::string("0123456789", c.expected));
        EXPECT_EQ(buffer[c.expected], '#') << "max " << c.maxBytes << ": wrote past the data";
    }
    EXPECT_EQ(Contents("data.bin"), "0123456789");  // reading changes nothing
}

TEST_F(FilesTest, FilesWeMayNotWriteAreStillRead) {
    // A read-only file (as root it opens for writing all the same), and the running test program,
    // which nobody may open for writing while it runs.
    Write("locked.txt", "kept data");
    fs::permissions(Path("locked.txt"), fs::perms::owner_read | fs::perms::group_read);
    char buffer[16] = {};
    uint32_t bytesRead = 0;
    EXPECT_EQ(ReadFileBytes(buffer, Path("locked.txt").c_str(), &bytesRead, 16), 1);
    EXPECT_EQ(std::string(buffer, bytesRead), "kept data");

    char header[4] = {};
    EXPECT_EQ(ReadFileBytes(header, "/proc/self/exe", &bytesRead, 4), 1);
    EXPECT_EQ(bytesRead, 4u);
    EXPECT_EQ(std::memcmp(header,
                          "\x7f"
                          "ELF",
                          4),
              0);
}

TEST_F(FilesTest, ReadFailuresReportZeroBytes) {
    char buffer[8];
    uint32_t bytesRead = 99;
    EXPECT_EQ(ReadFileBytes(buffer, dir.string().c_str(), &bytesRead, 8), 0);  // a directory
    EXPECT_EQ(bytesRead, 0u);
    bytesRead = 99;
    EXPECT_EQ(ReadFileBytes(buffer, Path("no-such-dir/file").c_str(), &bytesRead, 8), 0);
    EXPECT_EQ(bytesRead, 0u);
    EXPECT_FALSE(fs::exists(Path("no-such-dir")));
}

TEST_F(FilesTest, WriteKeepsTheTailOfALongerFile) {
    Write("ten.bin", "0123456789");
    uint32_t written = 0;
    EXPECT_EQ(WriteFileBytes("abc", Path("ten.bin").c_str(), &written, 3), 1);
    EXPECT_EQ(written, 3u);
    EXPECT_EQ(Contents("ten.bin"), "abc3456789");
}

TEST_F(FilesTest, WriteCreatesAMissingFile) {
    uint32_t written = 0;
    EXPECT_EQ(WriteFileBytes("hello", Path("out.txt").c_str(), &written, 5), 1);
    EXPECT_EQ(written, 5u);
    EXPECT_EQ(Contents("out.txt"), "hello");
}

TEST_F(FilesTest, WriteIntoAMissingDirectoryFails) {
    uint32_t written = 99;
    EXPECT_EQ(WriteFileBytes("x", Path("none/out.txt").c_str(), &written, 1), 0);
    EXPECT_EQ(written, 0u);
}

TEST_F(FilesTest, BackslashSeparatorsReachTheSameFile) {
    fs::create_directory(Path("sub"));
    const std::string windowsStyle = dir.string() + "\\sub\\name.txt";
    uint32_t count = 0;
    EXPECT_EQ(WriteFileBytes("via backslash", windowsStyle.c_str(), &count, 13), 1);
    EXPECT_EQ(Contents("sub/name.txt"), "via backslash");
    char buffer[16] = {};
    EXPECT_EQ(ReadFileBytes(buffer, windowsStyle.c_str(), &count, 16), 1);
    EXPECT_EQ(std::string(buffer, count), "via backslash");
    EXPECT_EQ(FileExists((dir.string() + "\\sub\\*.txt").c_str()), 1);
}

TEST_F(FilesTest, FileByteCountSizesRegularFilesOnly) {
    Write("ten.bin", "0123456789");
    Write("empty.bin", "");
    EXPECT_EQ(FileByteCount(Path("ten.bin").c_str()), 10u);
    EXPECT_EQ(FileByteCount((dir.string() + "\\ten.bin").c_str()), 10u);
    EXPECT_EQ(FileByteCount(Path("empty.bin").c_str()), 0u);
    EXPECT_EQ(FileByteCount(dir.string().c_str()), 0u);  // a directory
    EXPECT_EQ(FileByteCount(Path("missing.bin").c_str()), 0u);
    EXPECT_FALSE(fs::exists(Path("missing.bin")));
}

TEST_F(FilesTest, FileExistsMatchesNamesDirectoriesAndWildcards) {
    Write("data.bin", "x");
    Write(".hidden", "x");
    Write("a[1].txt", "x");
    fs::create_directory(Path("folder"));
    fs::create_directory(Path("empty"));
    struct Case {
        std::string name;
        int32_t expected;
        const char* why;
    } cases[] = {
        {"data.bin", 1, "a file"},
        {"folder", 1, "a directory counts"},
        {"missing.bin", 0, "nothing there"},
        {"*.bin", 1, "star"},
        {"da?a.bin", 1, "question mark"},
        {"*.txt?", 0, "wildcard without a match"},
        {"empty/*", 0, "nothing inside an empty directory but . and .."},
        {"*hidden", 1, "a wildcard matches names beginning with a dot"},
        {"a[1].txt", 1, "brackets are ordinary characters"},
        {"a[1]*", 1, "brackets are ordinary characters next to a wildcard"},
        {"a1.txt", 0, "no bracket expression either"},
        {"fold*/x", 0, "wildcards stand in the last component only"},
        {"fold*", 1, "a wildcard matches a directory"},
    };
    for (const Case& c : cases) EXPECT_EQ(FileExists(Path(c.name).c_str()), c.expected) << c.why;
    EXPECT_EQ(FileExists(""), 0);
    EXPECT_EQ(FileExists("/*"), 1);
    EXPECT_FALSE(fs::exists(Path("missing.bin"))) << "the test created a file";
}

TEST(GetModuleDirectory, IsTheProgramsDirectoryWithATrailingSeparator) {
    char buffer[128];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(GetModuleDirectory(buffer), buffer);
    const std::string directory(buffer);
    ASSERT_FALSE(directory.empty());
    EXPECT_EQ(directory.back(), '/');
    const fs::path program = fs::read_symlink("/proc/self/exe");
    EXPECT_EQ(directory, program.parent_path().string() + "/");
    EXPECT_TRUE(fs::exists(directory + program.filename().string()));
}

TEST(DirectoryOfPath, KeepsEverythingUpToTheLastSeparator) {
    const std::string long127(126, 'd');  // plus a separator: 127 bytes, fills 128 with its NUL
    struct Case {
        std::string path;
        std::string expected;
        const char* why;
    } cases[] = {
        {"/usr/bin/velmora", "/usr/bin/", "absolute path"},
        {"C:\\Tools\\Demo.exe", "C:\\Tools\\", "backslash separators"},
        {"/velmora", "/", "root directory"},
        {"velmora", "", "no separator: empty, names resolve against the current directory"},
        {"", "", "empty path"},
        {long127 + "/x", long127 + "/", "directory exactly fills the buffer"},
        {long127 + "d/x", "", "directory one byte too long"},
    };
    for (const Case& c : cases) {
        char buffer[160];
        std::memset(buffer, '#', sizeof buffer);
        EXPECT_EQ(DirectoryOfPath(c.path.c_str(), buffer, 128), buffer);
        EXPECT_EQ(std::string(buffer), c.expected) << c.why;
        EXPECT_EQ(buffer[128], '#') << c.why << ": wrote past the capacity";
    }
}

}  // namespace
