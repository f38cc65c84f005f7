// The singer's screen on an X server with two monitors: F11 in the main window opens it
// full-screen on the other monitor, its third row turns the hint colour when the first
// cue is heard and stays the lit row as the song goes on, and Esc in it closes it.
#include "content/project_file.h"
#include "e2e_harness.h"
#include "main_window_driver.h"
#include "test_env.h"

#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QThread>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

using vokrin::e2e::kRedHintSettings;
using vokrin::e2e::Program;

constexpr double kRate = 44100;
constexpr int kBytesPerFrame = 4;
const QString kSingerTitle = QStringLiteral("Вокрин — экран певца");

// The bands of picture rows that hold red (hint) or white (font colour) text, top down.
struct Band
{
    int top = 0;
    int bottom = 0; // exclusive
    bool red = false;
};

std::vector<Band> textBands(const QImage &picture, int *mixedRows)
{
    std::vector<Band> bands;
    *mixedRows = 0;
    for (int y = 0; y < picture.height(); ++y) {
        bool red = false;
        bool white = false;
        for (int x = 0; x < picture.width(); x += 2) {
            const QColor c = picture.pixelColor(x, y);
            red = red || (c.red() > 200 && c.green() < 60 && c.blue() < 60);
            white = white || (c.red() > 200 && c.green() > 200 && c.blue() > 200);
        }
        if (red && white)
            ++*mixedRows;
        if (!red && !white)
            continue;
        // Glyph rows of one line are close together; lines are a row apart.
        if (!bands.empty() && bands.back().red == red && y - bands.back().bottom < 12)
            bands.back().bottom = y + 1;
        else
            bands.push_back({y, y + 1, red});
    }
    return bands;
}

TEST(SingerScreenE2E, F11PutsItFullScreenOnTheOtherMonitorItsLitRowTurnsRedAtTheCueAndEscCloses)
{
    const QString examples =
        QString::fromStdString((vokrin::testing::binaryDir() / "examples").string());
    const auto demo = vokrin::content::readProjectFile(examples + "/demo.lyp");
    ASSERT_GE(demo.project.cues.size(), 2) << "no demo song in " << examples.toStdString();
    const double firstCue = demo.project.cues[0] / kBytesPerFrame / kRate;
    const double secondCue = demo.project.cues[1] / kBytesPerFrame / kRate;

    vokrin::e2e::XServer x(2);
    if (!x.running())
        GTEST_SKIP() << x.why().toStdString();
    vokrin::e2e::SoundServer sound;
    if (!sound.running())
        GTEST_SKIP() << sound.why().toStdString();
    Program vokrin(x, &sound, kRedHintSettings);
    ASSERT_TRUE(vokrin.started());
    const QString window = vokrin::e2e::waitForMainWindow(x);
    ASSERT_FALSE(window.isEmpty()) << "no main window";
    EXPECT_LT(x.geometry(window).left(), 1280) << "the main window is on the left monitor";
    const QString opened = vokrin::e2e::openListFile(x, window, examples + "/demo.lyl");
    ASSERT_TRUE(opened.isEmpty()) << opened.toStdString();

    ASSERT_TRUE(x.sendKeys(window, {QStringLiteral("F11")}));
    const QString singer = x.waitForWindow(kSingerTitle, 20000);
    ASSERT_FALSE(singer.isEmpty()) << "F11 opened no singer's screen";
    // Full-screen takes a moment to reach the X server.
    vokrin::e2e::waitUntil([&] { return x.geometry(singer) == QRect(1280, 0, 1280, 1024); }, 10000,
                           100);
    EXPECT_EQ(x.geometry(singer), QRect(1280, 0, 1280, 1024)) << "the whole right monitor";

    const QString raw = vokrin.workDir() + "/heard.raw";
    ASSERT_TRUE(sound.startRecording(raw));
    const std::int64_t start = vokrin::e2e::pressEnterToPlay(x, window, raw, 0.002);
    ASSERT_GE(start, 0) << "Enter played nothing";
    auto heardSeconds = [&] { return (sound.recordedFrames() - start) / kRate; };
    QElapsedTimer clock;
    clock.start();
    auto lookAt = [&](double moment, int *mixed) {
        vokrin::e2e::waitUntil([&] { return heardSeconds() >= moment; },
                               int(std::max<qint64>(0, 120000 - clock.elapsed())), 5);
        const QImage picture = x.grab(singer);
        EXPECT_FALSE(picture.isNull());
        return textBands(picture, mixed);
    };

    // Before the first cue: white lines only, the first one in the row that will light.
    int mixed = 0;
    const std::vector<Band> intro = lookAt(firstCue / 2, &mixed);
    ASSERT_FALSE(intro.empty()) << "the singer's screen shows no text";
    for (const Band &band : intro)
        EXPECT_FALSE(band.red) << "nothing lit before the first cue";

    // Half a second after the first cue is heard: the first line, in the same row, red;
    // the lines after it white below it, nothing above it.
    const std::vector<Band> first = lookAt(firstCue + 0.5, &mixed);
    EXPECT_EQ(mixed, 0);
    ASSERT_FALSE(first.empty());
    EXPECT_TRUE(first.front().red) << "the lit first line, with empty rows above it";
    ASSERT_GE(first.size(), 2u);
    // Text tops differ from line to line with the letters (capitals, descenders): a row
    // counts as the same within a quarter of the line pitch.
    const int slack = (first[1].top - first[0].top) / 4;
    EXPECT_GT(slack, 5);
    EXPECT_NEAR(first.front().top, intro.front().top, slack) << "it lights where it stood";
    for (std::size_t k = 1; k < first.size(); ++k)
        EXPECT_FALSE(first[k].red) << "the lines after it in the font colour";

    // After the second cue: the second line red in the same row, the first white above.
    const std::vector<Band> second = lookAt(secondCue + 0.5, &mixed);
    EXPECT_EQ(mixed, 0);
    std::size_t redBands = 0;
    for (std::size_t k = 0; k < second.size(); ++k) {
        if (!second[k].red)
            continue;
        ++redBands;
        EXPECT_EQ(k, 1u) << "one white line above the lit one";
        EXPECT_NEAR(second[k].top, first.front().top, slack) << "the lit row does not move";
    }
    EXPECT_EQ(redBands, 1u);
    sound.stopRecording();

    ASSERT_TRUE(x.sendKeys(singer, {QStringLiteral("Escape")}));
    EXPECT_TRUE(x.waitForWindowGone(singer, 10000)) << "Esc in the singer's screen closes it";
    EXPECT_FALSE(x.windowsNamed(vokrin::e2e::kProgramTitle).isEmpty());

    QFile settings(vokrin.configHome() + "/vokrin/vokrin.ini");
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
    const QByteArray text = settings.readAll();
    EXPECT_TRUE(text.contains("[SingerScreen]")) << text.toStdString();
    EXPECT_TRUE(text.contains("Screen=RIGHT")) << text.toStdString();
    settings.close();

    ASSERT_TRUE(x.closeWindow(window));
    EXPECT_EQ(vokrin.waitForExit(60000), 0) << vokrin.output().toStdString();
}

} // namespace
