// The equaliser heard through the real device: band 5 (1 kHz) stored at +15 dB, a quiet
// 1 kHz tone played from the catalogue, and the eq LED toggled with Q while it plays.
#include "content/list_file.h"
#include "content/project_file.h"
#include "e2e_harness.h"
#include "fixture_writers.h"
#include "main_window_driver.h"
#include "recording.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace {

using vokrin::e2e::openListFile;
using vokrin::e2e::Program;
using vokrin::e2e::Recording;
using vokrin::e2e::waitForMainWindow;

constexpr int kRate = 44100;
// -30 dBFS: +15 dB on top of it stays far from clipping.
const double kToneAmplitude = std::pow(10.0, -30.0 / 20.0);
constexpr double kToneHz = 1000;

// The stored sound parameters: band 5 at +15 dB with the equaliser switched off.
const QByteArray kBand5Up = "[TParamsForm]\r\nMMBitmapSlider5_Position=15\r\neq_enabled=FALSE\r\n";

double decibels(double ratio)
{
    return 20 * std::log10(ratio);
}

TEST(EffectsE2E, TheEqualiserLitByQRaisesAOneKilohertzToneByTheStoredFifteenDecibels)
{
    VOKRIN_E2E_SERVERS(x, sound);
    Program vokrin(x, &sound, kBand5Up);
    ASSERT_TRUE(vokrin.started());

    const QString work = vokrin.workDir();
    const QString track = work + "/tone.wav";
    ASSERT_TRUE(vokrin::fixtures::writeWav(
        track.toStdString(), vokrin::fixtures::sine(kRate, 2, 30, kToneHz, kToneAmplitude)));
    vokrin::content::SongProject project;
    project.backingTrackName = QFile::encodeName(track);
    vokrin::content::writeProjectFile(work + "/tone.lyp", project);
    vokrin::content::writeListFile(work + "/tone.lyl", {work + "/tone.lyp"});

    const QString window = waitForMainWindow(x);
    ASSERT_FALSE(window.isEmpty()) << "no main window";
    const QString opened = openListFile(x, window, work + "/tone.lyl");
    ASSERT_TRUE(opened.isEmpty()) << opened.toStdString();

    const QString raw = work + "/heard.raw";
    ASSERT_TRUE(sound.startRecording(raw));
    const std::int64_t start = vokrin::e2e::pressEnterToPlay(x, window, raw, kToneAmplitude / 4);
    QElapsedTimer clock;
    clock.start();
    ASSERT_GE(start, 0) << "Enter played nothing";

    // Q lights the equaliser and Q again puts it out; each stretch is measured from a
    // second after its key, when the change has long reached the sink.
    auto heardFor = [&](double seconds) {
        const qint64 until = sound.recordedFrames() + qint64(seconds * kRate);
        vokrin::e2e::waitUntil([&] { return sound.recordedFrames() >= until; },
                               int(std::max<qint64>(0, 120000 - clock.elapsed())), 5);
    };
    heardFor(2.0);
    const qint64 litAt = sound.recordedFrames();
    ASSERT_TRUE(x.sendKeys(window, {"q"}));
    heardFor(2.5);
    const qint64 unlitAt = sound.recordedFrames();
    ASSERT_TRUE(x.sendKeys(window, {"q"}));
    heardFor(2.5);
    sound.stopRecording();

    const Recording heard = Recording::load(raw);
    const std::size_t second = kRate;
    const std::size_t before = std::size_t(litAt) - second - second / 5;
    const std::size_t lit = std::size_t(litAt) + second + second / 5;
    const std::size_t after = std::size_t(unlitAt) + second + second / 5;
    ASSERT_GE(before, std::size_t(start)) << "the tone was heard too late";
    ASSERT_GE(heard.frames(), after + second) << "the recording is too short";

    const double flat = heard.rms(before, second);
    EXPECT_NEAR(flat, kToneAmplitude / std::sqrt(2.0), kToneAmplitude / 4)
        << "with the equaliser off the tone passes at its own level";
    const double raised = decibels(heard.rms(lit, second) / flat);
    EXPECT_GE(raised, 12.0) << "band 5 at +15 dB, heard " << raised << " dB";
    EXPECT_LE(raised, 18.0) << "band 5 at +15 dB, heard " << raised << " dB";
    EXPECT_NEAR(decibels(heard.rms(after, second) / flat), 0.0, 1.0)
        << "put out again, the equaliser sends 0 dB to every band";
    for (const std::size_t stretch : {before, lit, after})
        EXPECT_NEAR(heard.toneFrequency(stretch, second), kToneHz, 10);

    ASSERT_TRUE(x.closeWindow(window));
    EXPECT_EQ(vokrin.waitForExit(60000), 0) << vokrin.output().toStdString();
}

} // namespace
