// A track whose file goes away while it plays: deleted with its folder (the open file
// stays readable), cut short (a copy that was still being written, a medium that gives
// short reads), or every read failing (a USB stick pulled out). The channel plays on from
// what it holds or can still read, ends where the data ends, and nothing hangs.
#include "engine_test_support.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <thread>

namespace vokrin::enginetest {
namespace {

enum class Fault { Deleted, Truncated, ReadsFail };

struct Case
{
    const char *source;
    Fault fault;
};

const char *faultName(Fault fault)
{
    switch (fault) {
    case Fault::Deleted:
        return "deleted";
    case Fault::Truncated:
        return "truncated";
    case Fault::ReadsFail:
        return "reads_fail";
    }
    return "?";
}

void PrintTo(const Case &c, std::ostream *os)
{
    *os << c.source << ' ' << faultName(c.fault);
}

constexpr QWORD kFrameBytes = 4;   // every source here is 16-bit stereo at 44100 Hz
constexpr double kKeptShare = 0.4; // of a truncated file's bytes
constexpr int kBufferMs = 500;     // the decode-ahead the tests set
constexpr QWORD kFaultAt = 22050;  // frames heard when the file goes away
constexpr QWORD kBuffered = 17640; // frames surely decoded ahead by then (0.4 s of 0.5 s)

// The descriptor this process holds open on `path`; -1 when there is none.
int openDescriptorOf(const fs::path &path)
{
    const fs::path wanted = fs::canonical(path);
    DIR *dir = ::opendir("/proc/self/fd");
    if (dir == nullptr)
        return -1;
    int found = -1;
    while (const dirent *entry = ::readdir(dir)) {
        std::error_code error;
        const fs::path target = fs::read_symlink(fs::path("/proc/self/fd") / entry->d_name, error);
        if (!error && target == wanted) {
            found = std::atoi(entry->d_name);
            break;
        }
    }
    ::closedir(dir);
    return found;
}

// Makes every later read of the engine's open file fail, as reads of a medium that has
// gone away do: a folder's descriptor takes the place of the file's (pread on it fails).
bool makeReadsFail(const fs::path &path)
{
    const int fd = openDescriptorOf(path);
    if (fd < 0)
        return false;
    const int folder = ::open(path.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        return false;
    const bool replaced = ::dup2(folder, fd) == fd;
    ::close(folder);
    return replaced;
}

// Lets the fault happen to the file at `path` in `stick` (a folder of its own).
void applyFault(Fault fault, const fs::path &stick, const fs::path &path)
{
    switch (fault) {
    case Fault::Deleted:
        ASSERT_TRUE(fs::remove(path));
        ASSERT_GT(fs::remove_all(stick), 0u);
        break;
    case Fault::Truncated:
        ASSERT_EQ(
            ::truncate(path.c_str(),
                       static_cast<off_t>(static_cast<double>(fs::file_size(path)) * kKeptShare)),
            0);
        break;
    case Fault::ReadsFail:
        ASSERT_TRUE(makeReadsFail(path)) << "no open descriptor on " << path;
        break;
    }
}

// The bytes the intact file decodes to.
QWORD intactLength(const std::string &source)
{
    const HSTREAM decoding = BASS_StreamCreateFile(FALSE, fixture(source).c_str(), 0, 0,
                                                   BASS_STREAM_DECODE | BASS_STREAM_PRESCAN);
    if (decoding == 0)
        return 0;
    const QWORD bytes = readAll(decoding).size() * 2;
    BASS_StreamFree(decoding);
    return bytes;
}

// A copy of the fixture alone in a fresh folder, the "stick".
fs::path copyToStick(const std::string &source, fs::path &stick)
{
    stick = vokrin::testing::makeTempDir("stick") / "songs";
    fs::create_directories(stick);
    const fs::path path = stick / source;
    fs::copy_file(fixture(source), path);
    return path;
}

class VanishingFileTest : public ManualClockTest, public ::testing::WithParamInterface<Case>
{
protected:
    void SetUp() override
    {
        BASS_SetConfig(BASS_CONFIG_BUFFER, kBufferMs);
        ManualClockTest::SetUp();
    }
};

TEST_P(VanishingFileTest, PlaysOnFromWhatItHoldsAndEndsWhereTheDataEnds)
{
    const Case &c = GetParam();
    const QWORD intact = intactLength(c.source);
    ASSERT_GT(intact, 2 * kFaultAt * kFrameBytes);
    fs::path stick;
    const fs::path path = copyToStick(c.source, stick);

    const HSTREAM s = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, BASS_SAMPLE_FX);
    ASSERT_NE(s, 0u);
    ASSERT_TRUE(BASS_ChannelPlay(s, FALSE));
    vokrin::engine::advanceManualClock(static_cast<int>(kFaultAt));
    const QWORD heardAtFault = BASS_ChannelGetPosition(s);
    ASSERT_EQ(heardAtFault, kFaultAt * kFrameBytes);
    applyFault(c.fault, stick, path);

    // At most the whole track and a second more, in steps the mixer takes.
    const QWORD steps = intact / kFrameBytes / 4410 + 10;
    std::vector<float> heard;
    for (QWORD step = 0; step < steps && BASS_ChannelIsActive(s) == BASS_ACTIVE_PLAYING; ++step) {
        const std::vector<float> block = render(4410);
        heard.insert(heard.end(), block.begin(), block.end());
    }
    EXPECT_EQ(BASS_ChannelIsActive(s), static_cast<DWORD>(BASS_ACTIVE_STOPPED))
        << "the channel ends by itself";
    const QWORD end = BASS_ChannelGetPosition(s);
    EXPECT_GE(end, heardAtFault + kBuffered * kFrameBytes) << "what was decoded ahead is heard";
    std::size_t sounding = 0;
    for (std::size_t i = 0; i + 1 < heard.size(); i += 2)
        sounding += std::abs(heard[i + 1]) > 1e-4f ? 1 : 0;
    EXPECT_GE(sounding, kBuffered / 2) << "and it is sound, not silence";
    switch (c.fault) {
    case Fault::Deleted:
        // The open file is still there for us: the song plays to its end.
        EXPECT_EQ(end, intact);
        break;
    case Fault::Truncated:
        EXPECT_LT(end, intact);
        EXPECT_LE(end, static_cast<QWORD>(static_cast<double>(intact) * (kKeptShare + 0.05)))
            << "nothing past the place where the data ends";
        break;
    case Fault::ReadsFail:
        EXPECT_LT(end, intact);
        break;
    }

    // Asked to play again from the start, it plays what can still be read and ends again.
    ASSERT_TRUE(BASS_ChannelSetPosition(s, 0));
    ASSERT_TRUE(BASS_ChannelPlay(s, FALSE));
    for (QWORD step = 0; step < steps && BASS_ChannelIsActive(s) == BASS_ACTIVE_PLAYING; ++step)
        vokrin::engine::advanceManualClock(4410);
    EXPECT_EQ(BASS_ChannelIsActive(s), static_cast<DWORD>(BASS_ACTIVE_STOPPED));
    EXPECT_LE(BASS_ChannelGetPosition(s), intact);
    EXPECT_TRUE(BASS_StreamFree(s));

    // A new open of a deleted file fails as for any missing file.
    if (c.fault == Fault::Deleted) {
        EXPECT_EQ(BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, BASS_SAMPLE_FX), 0u);
        EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEOPEN);
    }
}

std::vector<Case> allCases()
{
    std::vector<Case> cases;
    for (const char *source :
         {"ramp_44100_stereo.wav", "ramp_cbr.mp3", "ramp_vbr_notag.mp3", "ramp.mp2", "ramp.ogg"})
        for (Fault fault : {Fault::Deleted, Fault::Truncated, Fault::ReadsFail})
            cases.push_back({source, fault});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Files, VanishingFileTest, ::testing::ValuesIn(allCases()),
                         [](const auto &param) {
                             return caseName(std::string(param.param.source) + "_" +
                                             faultName(param.param.fault));
                         });

// The same on the engine's own threads: the decode thread meets the fault, the scan
// thread may be reading the file too, and every call is answered meanwhile.
class VanishingFileRealtimeTest : public ::testing::TestWithParam<Case>
{
protected:
    void SetUp() override
    {
        BASS_Free();
        BASS_SetConfig(BASS_CONFIG_BUFFER, kBufferMs);
        vokrin::engine::setManualClock(false);
        ASSERT_TRUE(BASS_Init(0, 44100, 0, nullptr, nullptr));
    }
    void TearDown() override { BASS_Free(); }
};

TEST_P(VanishingFileRealtimeTest, TheChannelEndsByItselfAndCallsAreAnsweredMeanwhile)
{
    const Case &c = GetParam();
    const QWORD intact = intactLength(c.source);
    ASSERT_GT(intact, 0u);
    fs::path stick;
    const fs::path path = copyToStick(c.source, stick);
    const HSTREAM s = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, BASS_SAMPLE_FX);
    ASSERT_NE(s, 0u);
    ASSERT_TRUE(BASS_ChannelPlay(s, FALSE));
    const auto waitFor = [](const std::function<bool()> &condition, int seconds) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        while (!condition() && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return condition();
    };
    ASSERT_TRUE(waitFor([&] { return BASS_ChannelGetPosition(s) >= kFaultAt * kFrameBytes; }, 20));
    const QWORD heardAtFault = BASS_ChannelGetPosition(s);
    applyFault(c.fault, stick, path);

    // The track is 3 s long: well within the wait, however loaded the machine.
    EXPECT_TRUE(waitFor(
        [&] {
            float fft[513];
            BASS_ChannelGetData(s, fft, BASS_DATA_FFT1024);
            BASS_StreamGetLength(s);
            return BASS_ChannelIsActive(s) == BASS_ACTIVE_STOPPED;
        },
        30))
        << "the channel ends by itself";
    const QWORD end = BASS_ChannelGetPosition(s);
    EXPECT_GT(end, heardAtFault);
    if (c.fault == Fault::Deleted)
        EXPECT_EQ(end, intact);
    else
        EXPECT_LT(end, intact);
    EXPECT_TRUE(BASS_StreamFree(s));
}

INSTANTIATE_TEST_SUITE_P(Files, VanishingFileRealtimeTest,
                         ::testing::Values(Case{"ramp_vbr_notag.mp3", Fault::Deleted},
                                           Case{"ramp_vbr_notag.mp3", Fault::Truncated},
                                           Case{"ramp_vbr_notag.mp3", Fault::ReadsFail},
                                           Case{"ramp.ogg", Fault::Truncated},
                                           Case{"ramp.ogg", Fault::ReadsFail},
                                           Case{"ramp_44100_stereo.wav", Fault::ReadsFail}),
                         [](const auto &param) {
                             return caseName(std::string(param.param.source) + "_" +
                                             faultName(param.param.fault));
                         });

} // namespace
} // namespace vokrin::enginetest
