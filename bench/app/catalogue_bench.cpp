// Opening a list of 1000 distinct project files whose backing tracks are 4-minute MP3s,
// through the main window's AddProject (device 0, offscreen): time and bytes read per
// entry. Tracks with and without a LAME/Xing frame, each behind a 200 KB ID3v2 picture.
// The files are in the page cache after the first pass; the first pass is printed too.
#include "app/main_form.h"
#include "audio/engine/engine_config.h"
#include "content/project_file.h"
#include "fixture_writers.h"
#include "platform/scripted_platform.h"

#include <QApplication>
#include <QFile>
#include <QTreeWidget>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;
namespace fx = vokrin::fixtures;

namespace {

uint64_t bytesReadSoFar()
{
    std::ifstream io("/proc/self/io");
    std::string key;
    uint64_t value = 0;
    while (io >> key >> value)
        if (key == "rchar:")
            return value;
    return 0;
}

// A 4-minute MP3 by ffmpeg (with its Xing/LAME frame) or lame -t (without), behind a
// 200 KB ID3v2.3 tag and with an ID3v1 title.
bool makeTrack(const fs::path &dir, const std::string &name, bool header)
{
    const fs::path raw = dir / (name + ".raw.mp3");
    const std::string tone = "aevalsrc=0.3*sin(2*PI*440*t)|0.3*sin(2*PI*550*t):s=44100:d=240";
    bool ok = false;
    if (header) {
        ok = fx::run({"ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i", tone, "-c:a",
                      "libmp3lame", "-b:a", "128k", raw.string()});
    } else {
        const fs::path wav = dir / (name + ".wav");
        ok = fx::run({"ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i", tone, wav.string()}) &&
             fx::run({"lame", "--quiet", "-t", "-b", "128", wav.string(), raw.string()});
        fs::remove(wav);
    }
    if (!ok)
        return false;
    std::vector<uint8_t> bytes = {'I', 'D', '3', 3, 0, 0};
    const std::size_t body = 200000;
    bytes.push_back(static_cast<uint8_t>((body >> 21) & 0x7F));
    bytes.push_back(static_cast<uint8_t>((body >> 14) & 0x7F));
    bytes.push_back(static_cast<uint8_t>((body >> 7) & 0x7F));
    bytes.push_back(static_cast<uint8_t>(body & 0x7F));
    const std::vector<uint8_t> picture = fx::garbage(body, 9);
    bytes.insert(bytes.end(), picture.begin(), picture.end());
    const std::vector<uint8_t> audio = fx::readBytes(raw);
    bytes.insert(bytes.end(), audio.begin(), audio.end());
    fs::remove(raw);
    const fs::path untitled = dir / (name + ".untitled.mp3");
    return fx::writeBytes(untitled, bytes) &&
           fx::copyWithId3v1(untitled, dir / (name + ".mp3"), "Song " + name) &&
           fs::remove(untitled);
}

} // namespace

int main(int argc, char **argv)
{
    char pattern[] = "/tmp/vokrin-bench-catalogue-XXXXXX";
    if (!mkdtemp(pattern))
        return 1;
    const fs::path dir = pattern;
    for (const char *sub : {"config", "state", "data", "cache"})
        fs::create_directories(dir / sub);
    setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    setenv("XDG_STATE_HOME", (dir / "state").c_str(), 1);
    setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
    setenv("XDG_CACHE_HOME", (dir / "cache").c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);

    std::printf("catalogue: 1000 distinct projects, tracks 4-minute MP3s behind a 200 KB "
                "ID3v2 picture\n");
    for (const bool header : {true, false}) {
        const std::string name = header ? "xing" : "plain";
        if (!makeTrack(dir, name, header)) {
            std::printf("  (ffmpeg or lame missing: no figures)\n");
            return 0;
        }
        // Distinct project files and distinct track paths (hard links to one file).
        std::vector<QString> projects;
        for (int i = 0; i < 1000; ++i) {
            const fs::path track = dir / (name + "-" + std::to_string(i) + ".mp3");
            fs::create_hard_link(dir / (name + ".mp3"), track);
            vokrin::content::SongProject project;
            project.backingTrackName = QFile::encodeName(QString::fromStdString(track.string()));
            project.cues = {1000, 50000};
            project.lines = {"one", "two"};
            const QString path =
                QString::fromStdString((dir / (name + "-" + std::to_string(i) + ".lyp")).string());
            vokrin::content::writeProjectFile(path, project);
            projects.push_back(path);
        }
        for (int pass = 0; pass < 2; ++pass) {
            vokrin::platform::ScriptedPlatform desktop;
            vokrin::engine::setManualClock(true);
            auto form = std::make_unique<vokrin::app::TMainForm>();
            form->OutputDevice = 0;
            if (!form->FormCreate())
                return 1;
            const uint64_t before = bytesReadSoFar();
            const auto start = std::chrono::steady_clock::now();
            for (const QString &p : projects)
                form->AddProject(p);
            const double seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            const uint64_t read = bytesReadSoFar() - before;
            const bool titled = form->ListView1->topLevelItemCount() == 1000 &&
                                form->ListView1->topLevelItem(999)->text(0) ==
                                    QString::fromStdString("Song " + name);
            std::printf("  %-26s pass %d: %6.3f s in all, %7.1f us and %7.1f KB read per entry%s\n",
                        header ? "with a Xing/LAME frame" : "without (lame -t)", pass + 1, seconds,
                        seconds * 1e6 / 1000, double(read) / 1000 / 1024,
                        titled ? "" : "  (titles wrong!)");
            form.reset();
        }
    }
    std::printf("  goal: 1 s in all, 64 KB per entry\n");
    std::error_code ignored;
    fs::remove_all(dir, ignored);
    return 0;
}
