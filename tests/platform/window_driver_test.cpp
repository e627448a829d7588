// The window driver on a real X server: the test starts its own Xvfb, runs a copy of this test
// program on it (the driver is chosen once per process), which shows a picture through the
// window context, takes a screenshot with ImageMagick's import and compares pixels.
// Skips when Xvfb or import is not installed.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/headless.h"
#include "platform/windows.h"

extern char** environ;

namespace {

bool OnPath(const char* program) {
    const char* path = std::getenv("PATH");
    std::string paths = path ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= paths.size()) {
        const size_t end = std::min(paths.find(':', start), paths.size());
        const std::string candidate = paths.substr(start, end - start) + "/" + program;
        if (access(candidate.c_str(), X_OK) == 0) return true;
        start = end + 1;
    }
    return false;
}

// Waits up to seconds for the process; its exit status, or -1 when it had to be killed.
int WaitFor(pid_t pid, int seconds) {
    for (int i = 0; i < seconds * 20; ++i) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return -1;
}

constexpr int PICTURE_W = 600, PICTURE_H = 480;

// Left half red, right half blue, a green square at (100, 100)-(149, 149).
uint32_t Expected(int x, int y) {
    if (x >= 100 && x < 150 && y >= 100 && y < 150) return 0x00FF00;
    return x < PICTURE_W / 2 ? 0xFF0000 : 0x0000FF;
}

std::string screenshotPath;
int ticks = 0;

LRESULT CALLBACK ChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Reads a binary PPM (P6, maxval 255) into 0x00RRGGBB words.
bool ReadPpm(const std::string& path, int* width, int* height, std::vector<uint32_t>* pixels) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    int maxval = 0;
    const bool header =
        std::fscanf(file, "P6 %d %d %d", width, height, &maxval) == 3 && maxval == 255;
    std::fgetc(file);
    pixels->assign(size_t(*width) * size_t(*height), 0);
    bool ok = header;
    for (size_t i = 0; ok && i < pixels->size(); ++i) {
        unsigned char rgb[3];
        ok = std::fread(rgb, 1, 3, file) == 3;
        (*pixels)[i] = uint32_t(rgb[0]) << 16 | uint32_t(rgb[1]) << 8 | rgb[2];
    }
    std::fclose(file);
    return ok;
}

}  // namespace

// The part that runs inside the copy of this program on the X server.
TEST(WindowDriverChild, PresentsAPictureOnTheWindow) {
    const char* shot = std::getenv("VELMORA_WINDOW_CHILD");
    if (shot == nullptr) GTEST_SKIP() << "runs only inside WindowDriver.ShowsPicturesUnderXvfb";
    screenshotPath = shot;
    ASSERT_FALSE(HeadlessActive());

    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = ChildProc;
    windowClass.lpszClassName = "XVFB";
    ASSERT_NE(RegisterClassExA(&windowClass), 0);
    HWND window = CreateWindowExA(0, "XVFB", "Window check", WS_OVERLAPPEDWINDOW, 0, 0, PICTURE_W,
                                  PICTURE_H, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    ShowWindow(window, SW_SHOWNORMAL);

    BITMAPINFO info{};
    info.bmiHeader = BITMAPINFOHEADER{40, 1024, 768, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC memory = CreateCompatibleDC(GetDC(window));
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, nullptr, nullptr, 0);
    SelectObject(memory, bitmap);
    std::vector<uint32_t> picture(1024 * 768);
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < 1024; ++x) picture[size_t(y) * 1024 + x] = Expected(x, y);
    SetBitmapBits(bitmap, 0x300000, picture.data());

    // Present every 50 ms like the program does; screenshot after a few presents, then quit.
    static HDC source;
    source = memory;
    SetTimer(window, 1, 50, [](HWND self, UINT, UINT_PTR, DWORD) {
        BitBlt(GetDC(self), 0, 0, 1024, 768, source, 0, 0, SRCCOPY);
        if (++ticks == 10) {
            const std::string command = "import -window root -depth 8 ppm:" + screenshotPath;
            EXPECT_EQ(std::system(command.c_str()), 0);
            DestroyWindow(self);
        }
    });
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) != 0) DispatchMessageA(&message);

    int width = 0, height = 0;
    std::vector<uint32_t> screen;
    ASSERT_TRUE(ReadPpm(screenshotPath, &width, &height, &screen));
    const int probes[][2] = {{0, 0},     {299, 0},   {300, 0},  {599, 479}, {100, 100},
                             {149, 149}, {150, 149}, {10, 470}, {590, 10}};
    for (const auto& p : probes) {
        ASSERT_LT(p[0], width);
        ASSERT_LT(p[1], height);
        EXPECT_EQ(screen[size_t(p[1]) * width + p[0]], Expected(p[0], p[1]))
            << "screen pixel " << p[0] << "," << p[1];
    }
}

TEST(WindowDriver, ShowsPicturesUnderXvfb) {
    if (std::getenv("VELMORA_WINDOW_CHILD") != nullptr) GTEST_SKIP();
    if (!OnPath("Xvfb") || !OnPath("import")) GTEST_SKIP() << "Xvfb or ImageMagick not installed";

    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 3);
    const char* serverArgs[] = {"Xvfb", "-displayfd", "3", "-noreset",    "-nolisten",
                                "tcp",  "-screen",    "0", "1024x768x24", nullptr};
    pid_t server = 0;
    ASSERT_EQ(
        posix_spawnp(&server, "Xvfb", &actions, nullptr, const_cast<char**>(serverArgs), environ),
        0);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    std::string display;
    char c;
    while (read(pipeFds[0], &c, 1) == 1 && c != '\n') display.push_back(c);
    close(pipeFds[0]);
    if (display.empty()) {
        kill(server, SIGTERM);
        WaitFor(server, 10);
        FAIL() << "Xvfb did not report a display";
    }

    const std::string shot = "/tmp/velmora-window-test-" + std::to_string(getpid()) + ".ppm";
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e)
        if (std::strncmp(*e, "VELMORA_DRIVER=", 15) != 0 && std::strncmp(*e, "DISPLAY=", 8) != 0)
            env.push_back(*e);
    env.push_back("DISPLAY=:" + display);
    env.push_back("VELMORA_WINDOW_CHILD=" + shot);
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string filter = "--gtest_filter=WindowDriverChild.*";
    char* childArgs[] = {const_cast<char*>("test_platform"), filter.data(), nullptr};
    pid_t child = 0;
    ASSERT_EQ(posix_spawn(&child, "/proc/self/exe", nullptr, nullptr, childArgs, envp.data()), 0);
    const int status = WaitFor(child, 120);

    kill(server, SIGTERM);
    WaitFor(server, 10);
    std::remove(shot.c_str());
    EXPECT_EQ(status, 0) << "the child run failed (see its output above)";
}
