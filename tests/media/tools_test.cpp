// Starting the external tools: the command-line split, ShellExecuteA's results, and both
// launchers checked against a stand-in tool that records its working directory and arguments.
#include "media/tools.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "util/files.h"

namespace {

namespace fs = std::filesystem;

using Args = std::vector<std::string>;

TEST(SplitCommandLine, SplitsLikeACommandLine) {
    struct Case {
        const char* line;
        Args expected;
        const char* why;
    };
    const Case cases[] = {
        {" code.txt code.com", {"code.txt", "code.com"}, "leading blank"},
        {"Copy of Velmora.exe > disasm.txt",
         {"Copy", "of", "Velmora.exe", ">", "disasm.txt"},
         "a redirection is only two more arguments"},
        {"\"Copy of Velmora.exe\" out", {"Copy of Velmora.exe", "out"}, "quotes group"},
        {"a\"b c\"d", {"ab cd"}, "quotes inside an argument"},
        {"\"\"", {""}, "an empty quoted argument"},
        {"a\\\"b", {"a\"b"}, "backslash quote is a quote"},
        {"a\\\\\"b c\"", {"a\\b c"}, "two backslashes and a quote: one backslash, quote groups"},
        {"C:\\dir\\file.txt", {"C:\\dir\\file.txt"}, "other backslashes stay"},
        {"\t x \t y ", {"x", "y"}, "tabs and blanks"},
        {"   ", {}, "blanks only"},
        {"", {}, "empty"},
    };
    for (const Case& c : cases) EXPECT_EQ(SplitCommandLine(c.line), c.expected) << c.why;
    EXPECT_EQ(SplitCommandLine(nullptr), Args{});
}

intptr_t Code(HINSTANCE result) {
    return reinterpret_cast<intptr_t>(result);
}

// A temporary folder with a stand-in tool script that writes its working directory, where its
// output goes and each argument to a record file, then a last line "end".
class StandInTool : public ::testing::Test {
  protected:
    fs::path folder;
    fs::path record;
    fs::path previousDirectory;

    void SetUp() override {
        char name[] = "/tmp/velmora-tools-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        folder = name;
        record = folder / "record.txt";
        previousDirectory = fs::current_path();
    }
    void TearDown() override {
        fs::current_path(previousDirectory);
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }

    void MakeTool(const fs::path& path) {
        fs::create_directories(path.parent_path());
        // The standard output is read before the group below redirects it.
        std::ofstream(path) << "#!/bin/sh\nout=$(readlink /proc/$$/fd/1)\n"
                               "{ echo \"cwd $(pwd)\"; echo \"out $out\"; "
                               "for a in \"$@\"; do echo \"arg [$a]\"; done; echo end; } > '"
                            << record.string() << ".part' && mv '" << record.string() << ".part' '"
                            << record.string() << "'\n";
        fs::permissions(path, fs::perms::owner_all);
    }

    // The recorded lines, once the tool has finished writing them.
    std::vector<std::string> Recorded() {
        for (int i = 0; i < 500 && !fs::exists(record); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::ifstream in(record);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        fs::remove(record);
        return lines;
    }
};

TEST_F(StandInTool, RunAssemblerStartsFasmInTheCurrentDirectory) {
    MakeTool(folder / "Assembler" / "Fasm.exe");
    fs::current_path(folder);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_GT(Code(RunAssembler(nullptr)), 32);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    const std::vector<std::string> expected = {"cwd " + folder.string(), "out /dev/null",
                                               "arg [code.txt]", "arg [code.com]", "end"};
    EXPECT_EQ(Recorded(), expected);
}

TEST_F(StandInTool, RunAssemblerWithoutAnAssemblerFolderFails) {
    fs::current_path(folder);
    EXPECT_EQ(Code(RunAssembler(nullptr)), SE_ERR_FNF);
    EXPECT_FALSE(fs::exists(record));
}

// The disassembler runs in the program's own directory whatever the current one is; its text
// argument changes nothing.
TEST_F(StandInTool, RunDisassemblerStartsInTheProgramDirectory) {
    char buffer[1024];
    const fs::path programDirectory = fs::path(GetModuleDirectory(buffer)).parent_path();
    ASSERT_FALSE(programDirectory.empty());
    const fs::path assembler = programDirectory / "Assembler";
    ASSERT_FALSE(fs::exists(assembler)) << "left over from another run: " << assembler;
    MakeTool(assembler / "disasm.exe");
    fs::current_path(folder);
    const std::vector<std::string> expected = {"cwd " + programDirectory.string(),
                                               "out /dev/null",
                                               "arg [Copy]",
                                               "arg [of]",
                                               "arg [Velmora.exe]",
                                               "arg [>]",
                                               "arg [disasm.txt]",
                                               "end"};
    const std::string longText(5000, 'x');
    for (const char* text : {"listing", static_cast<const char*>(nullptr), longText.c_str()}) {
        EXPECT_GT(Code(RunDisassembler(nullptr, text)), 32);
        EXPECT_EQ(Recorded(), expected);
    }
    fs::remove_all(assembler);
    EXPECT_EQ(Code(RunDisassembler(nullptr, "listing")), SE_ERR_FNF);
}

TEST_F(StandInTool, ShellExecuteFailures) {
    MakeTool(folder / "tool");
    std::ofstream(folder / "plain.txt") << "not a program\n";
    std::ofstream(folder / "garbage") << "\x7f"
                                         "ELF but not really";
    fs::permissions(folder / "garbage", fs::perms::owner_all);
    const std::string tool = (folder / "tool").string();
    struct Case {
        const char* why;
        const char* verb;
        std::string file;
        const char* directory;
        intptr_t expected;
    };
    const Case cases[] = {
        {"missing file", "open", (folder / "none.exe").string(), nullptr, SE_ERR_FNF},
        {"no file", "open", "", nullptr, SE_ERR_FNF},
        {"missing directory", "open", tool, "/no/such/folder", SE_ERR_PNF},
        {"not allowed to run", "open", (folder / "plain.txt").string(), nullptr,
         SE_ERR_ACCESSDENIED},
        {"not a program", "open", (folder / "garbage").string(), nullptr, ERROR_BAD_FORMAT},
        {"another verb", "print", tool, nullptr, SE_ERR_NOASSOC},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(Code(ShellExecuteA(nullptr, c.verb, c.file.c_str(), "", c.directory, SW_HIDE)),
                  c.expected);
    }
    EXPECT_FALSE(fs::exists(record));
    // A NULL verb and an upper-case one both mean open; the directory may use '\'.
    EXPECT_GT(Code(ShellExecuteA(nullptr, nullptr, tool.c_str(), "a", nullptr, SW_HIDE)), 32);
    EXPECT_EQ(Recorded().size(), 4u);
    std::string windowsFolder = folder.string();
    for (char& ch : windowsFolder)
        if (ch == '/') ch = '\\';
    EXPECT_GT(Code(ShellExecuteA(nullptr, "OPEN", "tool", nullptr, windowsFolder.c_str(), SW_HIDE)),
              32);
    const std::vector<std::string> lines = Recorded();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "cwd " + folder.string());
}

}  // namespace
