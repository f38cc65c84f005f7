#include "e2e_harness.h"
#include "settings/ini_file.h"

#include <array>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

std::string run(const std::string &command)
{
    std::string output;
    FILE *pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return output;
    std::array<char, 256> buffer{};
    while (fgets(buffer.data(), static_cast<int>(buffer.size()), pipe) != nullptr)
        output += buffer.data();
    pclose(pipe);
    while (!output.empty() && (output.back() == '\n' || output.back() == '\r'))
        output.pop_back();
    return output;
}

bool alive(pid_t pid)
{
    return pid > 0 && kill(pid, 0) == 0;
}

// The real program on a private X server with the dummy sound driver, driven like a user.
class SettingsEndToEnd : public ::testing::Test
{
protected:
    void SetUp() override
    {
        xserver = std::make_unique<vokrin::e2e::XServer>();
        if (!xserver->running())
            GTEST_SKIP() << xserver->why().toStdString();
        const std::string display = xserver->display().toStdString();
        setenv("DISPLAY", display.c_str(), 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        setenv("QT_QPA_PLATFORM", "xcb", 1); // tests otherwise run on the offscreen platform
        // The program and the close helper are built beside this test.
        bin = std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
    }
    void TearDown() override
    {
        if (alive(program))
            kill(program, SIGKILL);
    }

    // Starts the program and returns its main window once it is shown.
    std::string start()
    {
        program = std::stoi("0" + run(bin + "/vokrin >/dev/null 2>&1 & echo $!"));
        // The splash has the same caption; the main window is the one of 761 by 577.
        for (int i = 0; i < 300 && alive(program); ++i) {
            const std::string window =
                run("for w in $(xdotool search --onlyvisible --name 'Вокрин' 2>/dev/null); do "
                    "xdotool getwindowgeometry $w 2>/dev/null | grep -q 761x577 && echo $w; "
                    "done | head -1");
            if (!window.empty()) {
                std::this_thread::sleep_for(1000ms); // the show step has run
                return window;
            }
            std::this_thread::sleep_for(100ms);
        }
        return {};
    }

    // Closes the window as a window manager does and waits for the program to end.
    bool closeAndWait(const std::string &window)
    {
        run(bin + "/settings_send_close " + window);
        for (int i = 0; i < 300 && alive(program); ++i) {
            waitpid(program, nullptr, WNOHANG);
            std::this_thread::sleep_for(100ms);
        }
        return !alive(program);
    }

    static QString stored(const char *key)
    {
        return TIniFile(QStringLiteral("vokrin.ini"))
            .ReadString(QStringLiteral("TMainForm"), QString::fromLatin1(key),
                        QStringLiteral("<missing>"));
    }

    std::unique_ptr<vokrin::e2e::XServer> xserver;
    std::string bin;
    pid_t program = 0;
};

TEST_F(SettingsEndToEnd, VolumeFolderHintColourAndFontChangedByTheUserComeBackOnTheNextStart)
{
    const std::string window = start();
    ASSERT_FALSE(window.empty()) << "the main window did not appear";
    // The knob starts at the engine's volume; five presses of "-" lower it by five.
    run("xdotool windowfocus --sync " + window + " key --delay 50 minus minus minus minus minus");
    // The folder box: 8,19 in the top block of the 224-px control panel at the right.
    run("xdotool mousemove --window " + window +
        " 645 29 click 1 sleep 0.3 type --delay 30 "
        "'/tmp/bag/'");
    // The hint colour: the colour button's drop-down arrow, then the red cell of its grid.
    run("xdotool mousemove --window " + window + " 691 481 click 1 sleep 0.7 mousemove --window " +
        window + " 660 519 click 1");
    // The lyric font: the font button, then a family typed into the dialog's name box
    // (which has the focus), confirmed with Enter.
    run("xdotool mousemove --window " + window + " 594 481 click 1");
    std::string fontDialog;
    for (int i = 0; i < 100 && fontDialog.empty(); ++i) {
        std::this_thread::sleep_for(100ms);
        fontDialog = run("xdotool search --onlyvisible --name '^Шрифт$' 2>/dev/null | head -1");
    }
    ASSERT_FALSE(fontDialog.empty()) << "the font dialog did not open";
    run("xdotool mousemove --window " + fontDialog +
        " 200 200 sleep 0.3 type --delay 30 "
        "'Liberation Serif'");
    // The first Enter may only take the name completer's choice.
    for (int i = 0; i < 3 && !run("xdotool search --onlyvisible --name '^Шрифт$'").empty(); ++i) {
        run("xdotool key Return");
        std::this_thread::sleep_for(700ms);
    }
    ASSERT_TRUE(closeAndWait(window));
    EXPECT_EQ(stored("ListBox1_FontName"), "Liberation Serif");
    EXPECT_EQ(stored("ListBox1_FontStyle"), "[fsBold]");
    EXPECT_EQ(stored("MMColorButton2_Value"), "255");
    const QString volume = stored("Volume_Value");
    EXPECT_EQ(volume, "95");
    EXPECT_EQ(stored("DirectoryEdit1_Text"), "/tmp/bag/");
    EXPECT_EQ(stored("Visible"), "0");
    EXPECT_EQ(stored("NormPos"), "121,129,882,706");
    EXPECT_EQ(stored("NormPos(1280x1024)"), "121,129,882,706");

    // The next start restores them; its own close writes them back unchanged. Had the
    // restore failed, the knob would have taken the engine's volume and the box been empty.
    const std::string again = start();
    ASSERT_FALSE(again.empty());
    ASSERT_TRUE(closeAndWait(again));
    EXPECT_EQ(stored("Volume_Value"), volume);
    EXPECT_EQ(stored("DirectoryEdit1_Text"), "/tmp/bag/");
    EXPECT_EQ(stored("MMColorButton2_Value"), "255");
    EXPECT_EQ(stored("ListBox1_FontName"), "Liberation Serif");
}

} // namespace
