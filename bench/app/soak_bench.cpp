// An evening of songs: the real program (on a private Xvfb and PulseAudio, through the
// end-to-end harness) plays a list of projects one after another, driven as a user drives
// it: Enter plays the selected entry, Down moves to the next, Q/R/C/E switch the effects,
// -/= turn the volume, Esc folds the panel, and a double-click on a lyric line jumps to
// it. The engine plays at the tracks' own rate, so the songs are short and many.
//
// Every 10 s it samples the program's resident memory, open descriptors and threads from
// /proc/<pid> and prints the sample; at the end it prints the audio time covered and the
// verdict against the goal: resident memory grows by no more than 5 MB after the first
// song, descriptors and threads not at all. Exit code 0 when the goal is met, 1 when not,
// 2 when the run could not be made.
//
//     bench_soak [songs [seconds-per-song]]      (default 100 songs of 9 s)
#include "content/list_file.h"
#include "content/project_file.h"
#include "e2e_harness.h"
#include "fixture_writers.h"
#include "main_window_driver.h"
#include "recording.h"
#include "test_env.h"

#include <QElapsedTimer>
#include <QFile>
#include <QImage>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
namespace fx = vokrin::fixtures;
using vokrin::e2e::Recording;

namespace {

constexpr double kRecordRate = Recording::kRate;
constexpr double kHeardLevel = 0.02; // a song's tone is 0.3 of full scale
// Where the cues are, as shares of a song's length: five lines.
constexpr double kCueShares[] = {0.05, 0.22, 0.44, 0.66, 0.88};
constexpr int kLinePitch = 27;

// ---- the program's figures from /proc ----

struct Sample
{
    double seconds = 0; // since the program started playing the list
    int song = 0;       // the song playing or last played (1-based; 0 before the first)
    long rssKb = 0;
    long descriptors = 0;
    long threads = 0;
    std::string note;
};

bool readSample(qint64 pid, Sample &sample)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    if (!status)
        return false;
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:")
            status >> sample.rssKb;
        else if (key == "Threads:")
            status >> sample.threads;
        std::getline(status, key);
    }
    std::error_code error;
    sample.descriptors = 0;
    for (fs::directory_iterator it("/proc/" + std::to_string(pid) + "/fd", error), end;
         !error && it != end; it.increment(error))
        ++sample.descriptors;
    return !error && sample.rssKb > 0;
}

void printSample(const Sample &s)
{
    std::printf("  %7.1f s  song %3d  RSS %8.1f MB  fds %4ld  threads %3ld%s%s\n", s.seconds,
                s.song, static_cast<double>(s.rssKb) / 1024.0, s.descriptors, s.threads,
                s.note.empty() ? "" : "  ", s.note.c_str());
    std::fflush(stdout);
}

// Samples every 10 s on a thread of its own; sampleNow() adds one between.
class Sampler
{
public:
    explicit Sampler(qint64 pid) : m_pid(pid)
    {
        m_clock.start();
        m_thread = std::thread([this] { loop(); });
    }
    ~Sampler()
    {
        {
            std::lock_guard lock(m_lock);
            m_quit = true;
        }
        m_wake.notify_one();
        m_thread.join();
    }
    void setSong(int song)
    {
        std::lock_guard lock(m_lock);
        m_song = song;
    }
    Sample sampleNow(const std::string &note)
    {
        std::lock_guard lock(m_lock);
        return takeLocked(note);
    }
    std::vector<Sample> samples()
    {
        std::lock_guard lock(m_lock);
        return m_samples;
    }

private:
    Sample takeLocked(const std::string &note)
    {
        Sample s;
        s.seconds = static_cast<double>(m_clock.elapsed()) / 1000.0;
        s.song = m_song;
        s.note = note;
        if (!readSample(m_pid, s))
            s.note = "the program is gone";
        m_samples.push_back(s);
        printSample(s);
        return s;
    }
    void loop()
    {
        std::unique_lock lock(m_lock);
        for (;;) {
            // The sampling period, not a wait on the program.
            if (m_wake.wait_for(lock, std::chrono::seconds(10), [this] { return m_quit; }))
                return;
            takeLocked({});
        }
    }

    qint64 m_pid;
    QElapsedTimer m_clock;
    std::mutex m_lock;
    std::condition_variable m_wake;
    bool m_quit = false;
    int m_song = 0;
    std::vector<Sample> m_samples;
    std::thread m_thread;
};

// ---- the songs ----

struct Song
{
    fs::path project;
    double frequency = 0;
    std::string kind;
};

// Song i: a steady tone of its own pitch, made by our WAV writer, lame (with and without
// its Xing frame), oggenc or twolame, at 44100 Hz stereo or 22050 Hz mono.
bool makeSong(const fs::path &dir, int i, double seconds, Song &song)
{
    song.frequency = 300.0 + 10.0 * i;
    const std::string name = "song" + std::to_string(i);
    const int kind = i % 6;
    const int rate = kind == 5 ? 22050 : 44100;
    const int channels = kind == 5 ? 1 : 2;
    const fs::path wav = dir / (name + ".wav");
    if (!fx::writeWav(wav, fx::sine(rate, channels, seconds, song.frequency, 0.3)))
        return false;
    fs::path track = wav;
    bool ok = true;
    switch (kind) {
    case 0:
        song.kind = "wav";
        break;
    case 1:
        song.kind = "mp3 cbr";
        track = dir / (name + ".mp3");
        ok = fx::encodeMp3(wav, track, fx::Mp3Mode::Cbr);
        break;
    case 2:
        song.kind = "mp3 vbr, no Xing frame";
        track = dir / (name + ".mp3");
        ok = fx::encodeMp3(wav, track, fx::Mp3Mode::VbrWithoutTag);
        break;
    case 3:
        song.kind = "ogg";
        track = dir / (name + ".ogg");
        ok = fx::encodeOgg(wav, track);
        break;
    case 4:
        song.kind = "mp2";
        track = dir / (name + ".mp2");
        ok = fx::encodeMp2(wav, track);
        break;
    default:
        song.kind = "wav 22050 mono";
        break;
    }
    if (!ok)
        return false;
    if (track != wav)
        fs::remove(wav);
    vokrin::content::SongProject project;
    project.backingTrackName = QFile::encodeName(QString::fromStdString(track.string()));
    const quint32 frameBytes = static_cast<quint32>(2 * channels);
    for (std::size_t line = 0; line < std::size(kCueShares); ++line) {
        project.lines.append(QByteArray("Song ") + QByteArray::number(i + 1) + ", line " +
                             QByteArray::number(static_cast<int>(line) + 1));
        project.cues.append(static_cast<quint32>(kCueShares[line] * seconds * rate) * frameBytes);
    }
    song.project = dir / (name + ".lyp");
    vokrin::content::writeProjectFile(QString::fromStdString(song.project.string()), project);
    return true;
}

// ---- driving ----

struct Run
{
    const vokrin::e2e::XServer &x;
    vokrin::e2e::SoundServer &sound;
    QString window;
};

bool doubleClickLine(const Run &run, int line)
{
    bool ok = false;
    run.x.xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"),
                   QStringLiteral("--window"), run.window, QStringLiteral("120"),
                   QString::number(line * kLinePitch + 13)},
                  &ok);
    if (ok)
        run.x.xdotool({QStringLiteral("click"), QStringLiteral("--repeat"), QStringLiteral("2"),
                       QStringLiteral("--delay"), QStringLiteral("60"), QStringLiteral("1")},
                      &ok);
    return ok;
}

// Puts the keyboard focus on the catalogue with entry `index` selected: a click on its
// top row, Home, and Down as often as needed.
bool selectEntry(const Run &run, int index)
{
    if (!run.x.click(run.window, vokrin::e2e::kFirstCatalogueEntry) ||
        !run.x.sendKeys(run.window, {QStringLiteral("Home")}))
        return false;
    if (index == 0)
        return true;
    QStringList keys = {QStringLiteral("key"), QStringLiteral("--clearmodifiers"),
                        QStringLiteral("--delay"), QStringLiteral("5")};
    for (int i = 0; i < index; ++i)
        keys.append(QStringLiteral("Down"));
    bool ok = false;
    run.x.xdotool(keys, &ok);
    return ok;
}

struct SongResult
{
    bool heard = false;
    bool rightSong = false;
    double pitch = 0; // Hz, measured early in the song
    bool ended = false;
    double audioSeconds = 0;
    int actions = 0;
    bool answered = true; // every key whose effect shows on the screen took effect
};

struct Action
{
    double at; // seconds heard since the song started
    std::function<bool()> run;
    bool losesCatalogueFocus = false;
};

SongResult playSong(const Run &run, const fs::path &dir, int i, const Song &song, double seconds,
                    bool &catalogueFocused)
{
    SongResult result;
    const QString raw =
        QString::fromStdString((dir / ("heard" + std::to_string(i) + ".raw")).string());
    if (!run.sound.startRecording(raw))
        return result;
    if (!catalogueFocused) {
        catalogueFocused = selectEntry(run, i);
    } else if (i > 0) {
        run.x.sendKeys(run.window, {QStringLiteral("Down")});
    }
    run.x.sendKeys(run.window, {QStringLiteral("Return")});
    const std::int64_t start = Recording::waitForFrameAbove(raw, kHeardLevel, 30000);
    if (start < 0) {
        run.sound.stopRecording();
        QFile::remove(raw);
        return result;
    }
    result.heard = true;
    const auto heardSeconds = [&] { return (run.sound.recordedFrames() - start) / kRecordRate; };

    // What happens along the song, by the time heard since it began.
    const QString effects[] = {QStringLiteral("q"), QStringLiteral("r"), QStringLiteral("c"),
                               QStringLiteral("e")};
    std::vector<Action> actions;
    actions.push_back({1.0, [&] { return run.x.sendKeys(run.window, {effects[i % 4]}); }});
    actions.push_back(
        {0.4 * seconds, [&] { return run.x.sendKeys(run.window, {effects[(i + 2) % 4]}); }});
    if (i % 5 == 0)
        actions.push_back({0.3 * seconds, [&] {
                               return run.x.sendKeys(
                                   run.window, {QStringLiteral("minus"), QStringLiteral("equal")});
                           }});
    if (i % 10 == 9)
        actions.push_back({0.45 * seconds, [&] {
                               using namespace vokrin::e2e;
                               const auto panelShown = [](const QImage &shown) {
                                   return reverbLedLit(shown) || reverbLedUnlit(shown);
                               };
                               return run.x.sendKeys(run.window, {QStringLiteral("Escape")}) &&
                                      waitUntilShown(run.x, run.window, controlPanelHidden) &&
                                      run.x.sendKeys(run.window, {QStringLiteral("Escape")}) &&
                                      waitUntilShown(run.x, run.window, panelShown);
                           }});
    // Jumps: back to the second line late in the song, or on to the third early on.
    if (i % 3 == 1)
        actions.push_back({0.55 * seconds, [&] { return doubleClickLine(run, 1); }, true});
    if (i % 3 == 2)
        actions.push_back({0.28 * seconds, [&] { return doubleClickLine(run, 2); }, true});
    std::sort(actions.begin(), actions.end(),
              [](const Action &a, const Action &b) { return a.at < b.at; });
    for (const Action &action : actions) {
        vokrin::e2e::waitUntil([&] { return heardSeconds() >= action.at; },
                               static_cast<int>((action.at + 30) * 1000), 10);
        result.answered &= action.run();
        ++result.actions;
        if (action.losesCatalogueFocus)
            catalogueFocused = false;
    }

    // The end: a third of a second of silence (effect tails included) once the song's
    // last stretch would have been heard.
    result.ended = vokrin::e2e::waitUntil(
        [&] {
            const double tail = Recording::tailRms(raw, 13230);
            return tail >= 0 && tail < 0.002 && heardSeconds() > 1.5;
        },
        static_cast<int>((3 * seconds + 30) * 1000), 20);
    run.sound.stopRecording();
    const Recording heard = Recording::load(raw);
    QFile::remove(raw);
    std::int64_t last = start;
    for (std::size_t f = static_cast<std::size_t>(start); f < heard.frames(); ++f)
        if (std::abs(heard.samples[2 * f]) > kHeardLevel * 32768)
            last = static_cast<std::int64_t>(f);
    result.audioSeconds = static_cast<double>(last - start) / kRecordRate;
    // Its own pitch, before the first effect key, shows the right entry played.
    result.pitch = heard.toneFrequency(static_cast<std::size_t>(start) + 4410, 22050);
    result.rightSong = std::abs(result.pitch - song.frequency) < 4.0;
    return result;
}

} // namespace

int main(int argc, char **argv)
{
    const int songs = argc > 1 ? std::max(2, std::atoi(argv[1])) : 100;
    const double seconds = argc > 2 ? std::max(4.0, std::atof(argv[2])) : 9.0;
    std::printf("soak: %d songs of %.1f s, played one after another by the real program\n", songs,
                seconds);

    vokrin::e2e::XServer x;
    if (!x.running()) {
        std::printf("cannot run: %s\n", qPrintable(x.why()));
        return 2;
    }
    vokrin::e2e::SoundServer sound;
    if (!sound.running()) {
        std::printf("cannot run: %s\n", qPrintable(sound.why()));
        return 2;
    }
    const fs::path dir = vokrin::testing::makeTempDir("soak");
    std::vector<Song> list(static_cast<std::size_t>(songs));
    QStringList projects;
    for (int i = 0; i < songs; ++i) {
        if (!makeSong(dir, i, seconds, list[static_cast<std::size_t>(i)])) {
            std::printf("cannot make song %d (are lame, oggenc and twolame installed?)\n", i + 1);
            return 2;
        }
        projects.append(QString::fromStdString(list[static_cast<std::size_t>(i)].project.string()));
    }
    const QString listFile = QString::fromStdString((dir / "evening.lyl").string());
    vokrin::content::writeListFile(listFile, projects);

    vokrin::e2e::Program vokrin(x, &sound);
    if (!vokrin.started()) {
        std::printf("cannot start %s\n", qPrintable(vokrin::e2e::Program::executable()));
        return 2;
    }
    const QString window = vokrin::e2e::waitForMainWindow(x);
    if (window.isEmpty()) {
        std::printf("no main window\n");
        return 2;
    }
    const QString opened = vokrin::e2e::openListFile(x, window, listFile);
    if (!opened.isEmpty()) {
        std::printf("%s\n", qPrintable(opened));
        return 2;
    }

    std::printf("samples every 10 s (and at the end of the first and the last song), and each "
                "song as it ends:\n");
    QElapsedTimer wall;
    wall.start();
    Sampler sampler(vokrin.pid());
    sampler.sampleNow("list open");
    const Run run{x, sound, window};
    bool catalogueFocused = false;
    int heard = 0;
    int right = 0;
    int ended = 0;
    int answered = 0;
    int actions = 0;
    double audio = 0;
    Sample baseline;
    for (int i = 0; i < songs; ++i) {
        sampler.setSong(i + 1);
        const SongResult r =
            playSong(run, dir, i, list[static_cast<std::size_t>(i)], seconds, catalogueFocused);
        heard += r.heard ? 1 : 0;
        right += r.rightSong ? 1 : 0;
        ended += r.ended ? 1 : 0;
        answered += r.answered ? 1 : 0;
        actions += r.actions;
        audio += r.audioSeconds;
        const Song &song = list[static_cast<std::size_t>(i)];
        std::printf(
            "  song %3d  %-22s  heard %5.1f s  %d actions  %6.1f Hz (its own %.0f)%s%s%s%s\n",
            i + 1, song.kind.c_str(), r.audioSeconds, r.actions, r.pitch, song.frequency,
            r.heard ? "" : "  NOTHING HEARD", r.heard && !r.rightSong ? "  ANOTHER PITCH" : "",
            r.heard && !r.ended ? "  DID NOT END" : "",
            r.answered ? "" : "  A KEY WAS NOT ANSWERED");
        std::fflush(stdout);
        if (i == 0)
            baseline = sampler.sampleNow("after the first song: the baseline");
    }
    const Sample last = sampler.sampleNow("after the last song");
    const double wallSeconds = static_cast<double>(wall.elapsed()) / 1000.0;
    const std::vector<Sample> samples = sampler.samples();
    long maxRss = 0;
    long maxFds = 0;
    long maxThreads = 0;
    bool afterBaseline = false;
    for (const Sample &s : samples) {
        afterBaseline |= s.note.rfind("after the first", 0) == 0;
        if (!afterBaseline)
            continue;
        maxRss = std::max(maxRss, s.rssKb);
        maxFds = std::max(maxFds, s.descriptors);
        maxThreads = std::max(maxThreads, s.threads);
    }
    x.closeWindow(window);
    const int exitCode = vokrin.waitForExit(60000);

    const double growthMb = static_cast<double>(last.rssKb - baseline.rssKb) / 1024.0;
    const double peakMb = static_cast<double>(maxRss - baseline.rssKb) / 1024.0;
    const bool rssOk = growthMb <= 5.0;
    const bool fdsOk = last.descriptors <= baseline.descriptors;
    const bool threadsOk = last.threads <= baseline.threads;
    std::printf("\nsongs heard %d/%d, the right pitch %d/%d, ended by themselves %d/%d\n", heard,
                songs, right, songs, ended, songs);
    std::printf("actions along the way %d (effect keys, volume keys, Esc twice, jumps to lines); "
                "songs whose on-screen checks all held %d/%d\n",
                actions, answered, songs);
    std::printf("audio heard %.1f s (%.1f min) in %.1f s of wall time\n", audio, audio / 60,
                wallSeconds);
    std::printf("program exit code %d\n", exitCode);
    std::printf("RSS     after song 1 %.1f MB, at the end %.1f MB, peak since %.1f MB: growth "
                "%+.1f MB (peak %+.1f MB), goal <= 5 MB: %s\n",
                baseline.rssKb / 1024.0, last.rssKb / 1024.0, maxRss / 1024.0, growthMb, peakMb,
                rssOk ? "met" : "MISSED");
    std::printf("fds     after song 1 %ld, at the end %ld, peak since %ld, goal no growth: %s\n",
                baseline.descriptors, last.descriptors, maxFds, fdsOk ? "met" : "MISSED");
    std::printf("threads after song 1 %ld, at the end %ld, peak since %ld, goal no growth: %s\n",
                baseline.threads, last.threads, maxThreads, threadsOk ? "met" : "MISSED");
    const bool audioOk = audio >= 15 * 60;
    std::printf("audio time %s the 15 minutes aimed at\n", audioOk ? "covers" : "falls short of");
    const bool met = rssOk && fdsOk && threadsOk && heard == songs && exitCode == 0;
    std::printf("verdict: %s\n", met ? "FLAT (goal met)" : "NOT FLAT or incomplete (goal missed)");
    return met ? 0 : 1;
}
