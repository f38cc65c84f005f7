// An LRC text chosen in the wizard of the real program: with the demo track in the audio
// box, the text's times become the project's cues, and the saved project, added to the
// catalogue, lights each line when the track reaches its LRC time.
#include "e2e_harness.h"
#include "main_window_driver.h"
#include "recording.h"
#include "test_env.h"

#include "audio/bass.h"
#include "audio/player.h"
#include "authoring/filename_edit.h"
#include "authoring/new_kar.h"
#include "authoring/page_control.h"
#include "content/cue_time.h"
#include "content/lrc_reader.h"
#include "content/lrc_writer.h"
#include "content/project_file.h"
#include "content/text_codec.h"
#include "content/whole_file.h"

#include <QApplication>
#include <QFile>
#include <QToolButton>
#include <algorithm>
#include <gtest/gtest.h>
#include <sstream>

namespace vokrin::authoring::e2e {
namespace {

using vokrin::e2e::kRedHintSettings;
using vokrin::e2e::kWizardButton;
using vokrin::e2e::LineLook;
using vokrin::e2e::lookOfLine;
using vokrin::e2e::Program;

const QString kWizardTitle = QStringLiteral("Мастер создания фонограммы");
const QString kAddTitle = QStringLiteral("Добавление файла");
constexpr double kRate = 44100; // the demo: 16-bit stereo
const content::TrackFormat kDemoFormat{44100, 2, 0};
// The first sound of the track, as a share of full scale, in the file and in what the
// sink played: it ties the recording to the track's timeline.
constexpr double kFirstSoundLevel = 0.002;

// How far the light may be from its LRC time, as the screen and the recording show it.
// Early: the 40 ms the line is allowed, plus what the recorder holds back before it
// writes what the sink played. Late: the 33 ms tick, plus a tick or a grab that a loaded
// machine delays.
constexpr double kEarly = 0.040 + 0.060;
constexpr double kLate = 0.040 + 0.300;

// Where the wizard's controls that this test clicks sit in its window, from the wizard's
// own layout on the offscreen platform with the fonts and style the program gets on the
// X server.
struct WizardPlaces
{
    QPoint textDialogButton; // the "..." of the text file box, on page 2
    QPoint page3Tab;
    QPoint page4Tab;
};

WizardPlaces wizardPlaces()
{
    char name[] = "e2e";
    char platformOption[] = "-platform";
    char platformName[] = "offscreen";
    char *argv[] = {name, platformOption, platformName, nullptr};
    int argc = 3;
    QApplication app(argc, argv);
    audio::Player player;
    TFormNewKar wizard(player, {});
    wizard.show();
    wizard.PageControl1->setCurrentIndex(TFormNewKar::TabSheet2);
    QApplication::processEvents();
    const auto centre = [&wizard](QWidget *widget) {
        return widget->mapTo(&wizard, widget->rect().center());
    };
    return {centre(wizard.FilenameEdit2->dialogButton()),
            centre(wizard.PageControl1->tab(TFormNewKar::TabSheet3)),
            centre(wizard.PageControl1->tab(TFormNewKar::TabSheet4))};
}

// The first frame of the track file louder than `level`, decoded as the player decodes
// it; -1 when there is none.
std::int64_t firstSoundOfTrack(const QString &path, double level)
{
    if (!BASS_Init(0, 44100, 0, nullptr, nullptr))
        return -1;
    const QByteArray name = QFile::encodeName(path);
    const DWORD stream = BASS_StreamCreateFile(FALSE, name.constData(), 0, 0, BASS_STREAM_DECODE);
    std::int64_t found = -1;
    std::vector<std::int16_t> block(8192);
    for (std::int64_t frame = 0; stream != 0 && found < 0;) {
        const DWORD got =
            BASS_ChannelGetData(stream, block.data(), DWORD(block.size() * sizeof(std::int16_t)));
        if (got == DWORD(-1) || got == 0)
            break;
        for (DWORD i = 0; i < got / 4; ++i) {
            if (std::abs(int(block[i * 2])) > level * 32768) {
                found = frame + i;
                break;
            }
        }
        frame += got / 4;
    }
    BASS_StreamFree(stream);
    BASS_Free();
    return found;
}

struct LineLight
{
    double lastUnlit = -1; // track seconds heard when it was last seen unlit (grab start)
    double firstLit = -1;  // and when it was first seen lit (grab end)
};

TEST(LrcImportOnTheRealProgram, AnLrcChosenInTheTextDialogPlaysWithEachLineLitAtItsTime)
{
    const QString examples =
        QString::fromStdString((vokrin::testing::binaryDir() / "examples").string());
    const auto demo = content::readProjectFile(examples + "/demo.lyp");
    ASSERT_FALSE(demo.project.cues.isEmpty()) << "no demo song in " << examples.toStdString();

    VOKRIN_E2E_SERVERS(x, sound);
    Program vokrin(x, &sound, kRedHintSettings);
    ASSERT_TRUE(vokrin.started());

    // The demo track, copied so that the wizard's project lands beside the copy; the LRC
    // holds the demo's lines at the times of its notes, with metadata the text must not
    // show.
    const QString track = vokrin.workDir() + QStringLiteral("/demo.ogg");
    ASSERT_TRUE(QFile::copy(examples + "/demo.ogg", track));
    QList<content::TimedLine> timed;
    for (qsizetype k = 0; k < demo.project.cues.size() && k < demo.project.lines.size(); ++k)
        timed.append({content::msForCue(demo.project.cues[k], kDemoFormat),
                      content::decodeText(demo.project.lines[k])});
    const QString lrc = vokrin.workDir() + QStringLiteral("/demo.lrc");
    const QByteArray lrcText =
        "[ti:Demo]\n[ar:Vokrin]\n" + content::writeLrc(timed, {-1, QStringLiteral("test")});
    content::writeFileAtomically(lrc, lrcText);
    // The times as the LRC holds them, in hundredths of a second.
    const content::TimedText written = content::readLrc(lrcText);
    ASSERT_TRUE(written.ok());
    ASSERT_EQ(written.lines.size(), timed.size());
    std::vector<double> lrcSeconds;
    for (const content::TimedLine &line : written.lines)
        lrcSeconds.push_back(double(line.ms) / 1000);

    const WizardPlaces places = wizardPlaces();
    const QString mainWindow = vokrin::e2e::waitForMainWindow(x);
    ASSERT_FALSE(mainWindow.isEmpty()) << "no main window after the splash";
    ASSERT_TRUE(x.click(mainWindow, kWizardButton));
    const QString wizard = x.waitForWindow(kWizardTitle, 20000);
    ASSERT_FALSE(wizard.isEmpty()) << "the wizard button opened no wizard";

    // Page 1: the track typed into its box, "Дальше". Page 2: the LRC through the text
    // box's dialog.
    ASSERT_TRUE(x.typeText(wizard, track));
    ASSERT_TRUE(x.sendKeys(wizard, {QStringLiteral("Tab"), QStringLiteral("space")}));
    const QStringList before = x.visibleWindows();
    ASSERT_TRUE(x.click(wizard, places.textDialogButton));
    const QString dialog = x.waitForNewWindow(before, 60000);
    ASSERT_FALSE(dialog.isEmpty()) << "the text box's button opened no file dialog";
    ASSERT_TRUE(x.chooseFileInDialog(dialog, lrc));

    // Page 3 makes the marks from the times; page 4 proposes demo.lyp beside the track;
    // Enter finishes (saving first) and the catalogue question is answered OK. A message
    // box about the text would stand in the way of the question.
    ASSERT_TRUE(x.click(wizard, places.page3Tab));
    ASSERT_TRUE(x.click(wizard, places.page4Tab));
    ASSERT_TRUE(x.sendKeys(wizard, {QStringLiteral("Return")}));
    const QString question = x.waitForWindow(kAddTitle, 20000);
    ASSERT_FALSE(question.isEmpty()) << "Finish asked nothing: a message about the text?";
    ASSERT_TRUE(x.sendKeys(question, {QStringLiteral("Return")}));
    EXPECT_TRUE(x.waitForWindowGone(wizard, 20000));

    // The project holds the LRC's lines and one cue per line at its time on the track.
    const auto saved = content::readProjectFile(vokrin.workDir() + QStringLiteral("/demo.lyp"));
    ASSERT_FALSE(saved.truncated);
    ASSERT_EQ(saved.project.lines.size(), timed.size());
    ASSERT_EQ(saved.project.cues.size(), timed.size());
    for (qsizetype k = 0; k < timed.size(); ++k) {
        EXPECT_EQ(content::decodeText(saved.project.lines[k]), timed[k].text) << "line " << k;
        // The nearest frame to the LRC's time.
        EXPECT_NEAR(saved.project.cues[k] / 4 / kRate, lrcSeconds[std::size_t(k)], 0.5 / kRate)
            << "cue " << k;
    }

    // Where the track's first sound lies in it, so that the recording tells how much of
    // the track has been heard.
    const std::int64_t trackFirstSound = firstSoundOfTrack(track, kFirstSoundLevel);
    ASSERT_GE(trackFirstSound, 0) << "the demo track is silent";

    // Play: Enter in the main window plays the catalogue's new entry.
    const QString raw = vokrin.workDir() + QStringLiteral("/heard.raw");
    ASSERT_TRUE(sound.startRecording(raw));
    const std::int64_t heardFirstSound =
        vokrin::e2e::pressEnterToPlay(x, mainWindow, raw, kFirstSoundLevel);
    ASSERT_GE(heardFirstSound, 0) << "Enter played nothing";
    const auto heardSeconds = [&] {
        return double(sound.recordedFrames() - heardFirstSound + trackFirstSound) / kRate;
    };

    // Around each line's time, look as often as the grabs allow: the last look with the
    // line unlit and the first with it lit bracket the moment it lit.
    std::vector<LineLight> lights(lrcSeconds.size());
    for (std::size_t k = 0; k < lrcSeconds.size(); ++k) {
        ASSERT_TRUE(vokrin::e2e::waitUntil([&] { return heardSeconds() >= lrcSeconds[k] - 0.3; },
                                           120000, 2))
            << "the track stopped before line " << k;
        while (heardSeconds() < lrcSeconds[k] + 1.0) {
            const double from = heardSeconds();
            const QImage picture = x.grab(mainWindow);
            const double to = heardSeconds();
            ASSERT_FALSE(picture.isNull());
            const LineLook look = lookOfLine(picture, int(k));
            if (look == LineLook::Unlit)
                lights[k].lastUnlit = from;
            if (look == LineLook::Lit) {
                lights[k].firstLit = to;
                break;
            }
        }
    }
    sound.stopRecording();

    for (std::size_t k = 0; k < lights.size(); ++k) {
        std::ostringstream seen;
        seen << "line " << k << " at " << lrcSeconds[k] << " s: last seen unlit at "
             << lights[k].lastUnlit << " s, first seen lit by " << lights[k].firstLit << " s";
        SCOPED_TRACE(seen.str());
        std::printf("%s\n", seen.str().c_str());
        ASSERT_GE(lights[k].firstLit, 0) << "never lit";
        // Lit no sooner than it may be, and seen unlit no later than it may be.
        EXPECT_GE(lights[k].firstLit, lrcSeconds[k] - kEarly);
        EXPECT_LE(lights[k].lastUnlit, lrcSeconds[k] + kLate);
        EXPECT_GE(lights[k].lastUnlit, 0) << "lit before it was due (never seen unlit)";
    }

    ASSERT_TRUE(x.closeWindow(mainWindow));
    EXPECT_EQ(vokrin.waitForExit(60000), 0) << vokrin.output().toStdString();
}

} // namespace
} // namespace vokrin::authoring::e2e
