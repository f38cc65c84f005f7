// Play, pause, stop, balance, position and the backing-track replacement on the real
// engine (device 0, manual clock).
#include "main_form_fixture.h"

#include "app/directory_edit.h"
#include "audio/player.h"
#include "content/project_file.h"
#include "controls/led_gauge.h"
#include "controls/led_panel.h"
#include "controls/wheel.h"
#include "display/lyric_list.h"
#include "fixture_writers.h"

#include <QFile>
#include <QLabel>
#include <QToolButton>
#include <QTreeWidget>

namespace {

constexpr QWORD kBytesPerFrame = 4; // 16-bit stereo

TEST_F(MainFormTest, PlayWithAnEmptyCatalogueDoesNothing)
{
    form->ButtonPlayClick();
    EXPECT_EQ(form->Stream(), 0u);
    EXPECT_TRUE(desktop->messages.empty());
}

TEST_F(MainFormTest, PlayWithNothingSelectedSelectsAndPlaysTheFirstEntry)
{
    const QString first = makeSong("first");
    form->AddProject(first);
    form->AddProject(makeSong("second"));
    form->MMLEDGauge1->setProgress(40);
    ASSERT_EQ(selectedRow(), -1);

    form->ButtonPlayClick();
    EXPECT_EQ(selectedRow(), 0);
    EXPECT_EQ(form->BackingTrackPath, path("first.wav"));
    EXPECT_EQ(form->LabelFile->text(), path("first.wav"));
    EXPECT_EQ(form->ListBox1->count(), 2);
    EXPECT_EQ(form->Cues, (QList<quint32>{1000, 50000}));
    EXPECT_EQ(state(), static_cast<DWORD>(BASS_ACTIVE_PLAYING));
    EXPECT_EQ(form->MMLEDGauge1->progress(), 0);
    advance(4410);
    EXPECT_EQ(form->GetPosition(), 4410 * kBytesPerFrame);
}

TEST_F(MainFormTest, PauseHaltsOutputAndPlayResumesWithTheButtonUpFromTheStart)
{
    form->AddProject(makeSong("song"));
    form->ButtonPlayClick();
    advance(4410);
    form->PauseBtn->click();
    EXPECT_TRUE(form->PauseBtn->isChecked());
    advance(4410);
    EXPECT_EQ(form->GetPosition(), 4410 * kBytesPerFrame) << "paused output must not move";

    form->ButtonPlayClick();
    EXPECT_FALSE(form->PauseBtn->isChecked());
    EXPECT_EQ(form->GetPosition(), 0u);
    advance(441);
    EXPECT_EQ(form->GetPosition(), 441 * kBytesPerFrame);

    // The button up again resumes output.
    form->PauseBtn->click();
    form->PauseBtn->click();
    EXPECT_FALSE(form->PauseBtn->isChecked());
    advance(441);
    EXPECT_EQ(form->GetPosition(), 882 * kBytesPerFrame);
}

TEST_F(MainFormTest, StopKeepsTheDisplayAndPlayStartsOverWithNoLineLit)
{
    form->AddProject(makeSong("song"));
    form->ButtonPlayClick();
    advance(4410);
    form->ListBox1->setCurrentRow(1);
    form->CurrentCue = 2;
    form->MMLEDGauge1->setProgress(30);

    form->ButtonStopClick();
    EXPECT_EQ(state(), static_cast<DWORD>(BASS_ACTIVE_STOPPED));
    EXPECT_EQ(form->ListBox1->selectedItems().size(), 1);
    EXPECT_EQ(form->CurrentCue, 2);
    EXPECT_EQ(form->MMLEDGauge1->progress(), 30);

    form->ButtonPlayClick();
    EXPECT_EQ(state(), static_cast<DWORD>(BASS_ACTIVE_PLAYING));
    EXPECT_TRUE(form->ListBox1->selectedItems().isEmpty());
    EXPECT_EQ(form->CurrentCue, 0);
    EXPECT_EQ(form->GetPosition(), 0u);
}

TEST_F(MainFormTest, PanActsOnTheCurrentStreamAndANewTrackPlaysCentred)
{
    form->AddProject(makeSong("a"));
    form->AddProject(makeSong("b"));
    form->ButtonPlayClick();
    form->Pan->setValue(-100);
    int pan = 0;
    ASSERT_TRUE(BASS_ChannelGetAttributes(form->Stream(), nullptr, nullptr, &pan));
    EXPECT_EQ(pan, -100);
    EXPECT_EQ(form->MMLEDPanel2->value(), -99) << "the readout's own range is -99..99";

    form->ListView1->setCurrentItem(form->ListView1->topLevelItem(1));
    form->ButtonPlayClick();
    ASSERT_TRUE(BASS_ChannelGetAttributes(form->Stream(), nullptr, nullptr, &pan));
    EXPECT_EQ(pan, 0);
    EXPECT_EQ(form->Pan->value(), -100);
}

TEST_F(MainFormTest, VolumeIsTheMasterVolumeAndShowsOnItsReadout)
{
    form->Volume->setValue(37);
    EXPECT_EQ(BASS_GetVolume(), 37u);
    EXPECT_EQ(form->MMLEDPanel1->value(), 37);
    form->PredText->setValue(512);
    EXPECT_EQ(form->MMLEDPanel4->value(), 512);
}

TEST_F(MainFormTest, AnUnplayableFileIsReportedOnceAndLeavesNoStream)
{
    const auto bad = dir / "noise.mp3";
    ASSERT_TRUE(vokrin::fixtures::writeBytes(bad, vokrin::fixtures::garbage(4096, 7)));
    DWORD handle = 0;
    form->OpenStream(QString::fromStdString(bad.string()), handle);
    EXPECT_EQ(handle, 0u);
    ASSERT_EQ(desktop->messages.size(), 1u);
    EXPECT_EQ(desktop->messages[0].text, "Can't play the file! Please select another.");
    EXPECT_EQ(desktop->messages[0].caption, "Error");
    EXPECT_EQ(desktop->messages[0].icon, vokrin::platform::MessageIcon::Error);
    EXPECT_EQ(desktop->messages[0].buttons, vokrin::platform::MessageButtons::Ok);

    // Playing it releases what played before: no sound is left.
    form->PlayFile(makeTrack("ok.wav"));
    ASSERT_EQ(state(), static_cast<DWORD>(BASS_ACTIVE_PLAYING));
    form->PlayFile(QString::fromStdString(bad.string()));
    EXPECT_EQ(form->Stream(), 0u);
    EXPECT_EQ(desktop->messages.size(), 2u);
}

TEST_F(MainFormTest, PositionTimeFollowsTheStreamAndIsZeroWithoutOne)
{
    EXPECT_EQ(form->GetPositionTime(), 0.0);
    EXPECT_EQ(form->GetPosition(), 0u);
    form->PlayFile(makeTrack("long.wav", 80, 44100, 1));
    ASSERT_NE(form->Stream(), 0u);
    // 75.9 s: 0:01:15.
    for (int i = 0; i < 759; ++i)
        advance(4410);
    EXPECT_DOUBLE_EQ(form->GetPositionTime(), 75.0 / 86400);
}

struct TimeCase
{
    double seconds;
    int hours, minutes, secs; // -1: no time
};

class PositionTimeTest : public ::testing::TestWithParam<TimeCase>
{
};

TEST_P(PositionTimeTest, SecondsBecomeATimeOfDayWithoutFractions)
{
    const TimeCase c = GetParam();
    const double expected =
        c.hours < 0 ? 0.0 : c.hours / 24.0 + c.minutes / 1440.0 + c.secs / 86400.0;
    EXPECT_DOUBLE_EQ(vokrin::audio::positionTimeFromSeconds(c.seconds), expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, PositionTimeTest,
                         ::testing::Values(TimeCase{75.9, 0, 1, 15}, TimeCase{3725, 1, 2, 5},
                                           TimeCase{0, 0, 0, 0}, TimeCase{59.999, 0, 0, 59},
                                           TimeCase{86399.5, 23, 59, 59}, TimeCase{86400, -1, 0, 0},
                                           TimeCase{-1, -1, 0, 0}));

struct ReplaceCase
{
    const char *folder;  // relative to the test folder; "" for none
    const char *chosen;  // relative to the test folder
    const char *written; // the stored name; a leading '@' stands for the test folder
};

class ReplaceTrackTest : public MainFormTest, public ::testing::WithParamInterface<ReplaceCase>
{
};

TEST_P(ReplaceTrackTest, TheNameLosesTheFolderTextAndTheRestOfTheFileStays)
{
    const ReplaceCase c = GetParam();
    std::filesystem::create_directories(dir / "Songs");
    std::filesystem::create_directories(dir / "Other");
    const QString project = makeSong("song");
    form->AddProject(project);
    form->ListView1->setCurrentItem(form->ListView1->topLevelItem(0));
    form->ButtonPlayClick();
    QByteArray before;
    {
        QFile file(project);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        before = file.readAll();
    }
    const QString folder = *c.folder ? path(c.folder) : QString();
    form->DirectoryEdit1->setText(folder);
    const QString chosen = path(c.chosen);
    desktop->openFileAnswers.push_back(chosen);

    form->FragButtonClick();
    ASSERT_EQ(desktop->openFileRequests.size(), 1u);
    EXPECT_EQ(desktop->openFileRequests[0].initialDir, folder);
    EXPECT_EQ(desktop->openFileRequests[0].filter, "Sound files|*.WAV;*.MP3;*.MP2;*.MP1;*.OGG");

    QByteArray written = c.written;
    if (written.startsWith('@'))
        written = QFile::encodeName(path(c.written + 1));
    QFile file(project);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray after = file.readAll();
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(after.left(255), written + QByteArray(255 - written.size(), '\0'));
    EXPECT_EQ(after.mid(255), before.mid(255));
    EXPECT_EQ(form->BackingTrackPath, QFile::decodeName(written));
    // Nothing else changes until the next Play.
    EXPECT_EQ(form->LabelFile->text(), path("song.wav"));
    EXPECT_EQ(state(), static_cast<DWORD>(BASS_ACTIVE_PLAYING));
}

INSTANTIATE_TEST_SUITE_P(Names, ReplaceTrackTest,
                         ::testing::Values(ReplaceCase{"Songs", "Songs/song.mp3", "/song.mp3"},
                                           ReplaceCase{"Songs", "Other/song.mp3",
                                                       "@Other/song.mp3"},
                                           ReplaceCase{"", "Songs/song.mp3", "@Songs/song.mp3"}));

TEST_F(MainFormTest, ReplacingNeedsASelectedEntryWithAnExistingProjectAndAChoice)
{
    desktop->openFileAnswers.push_back(path("x.mp3"));
    form->FragButtonClick();
    EXPECT_TRUE(desktop->openFileRequests.empty()) << "no entry selected";

    const QString project = makeSong("song");
    form->AddProject(project);
    form->ListView1->setCurrentItem(form->ListView1->topLevelItem(0));
    desktop->openFileAnswers.clear();
    desktop->openFileAnswers.push_back(std::nullopt);
    form->FragButtonClick();
    EXPECT_EQ(desktop->openFileRequests.size(), 1u);
    EXPECT_EQ(vokrin::content::readBackingTrackName(project), QFile::encodeName(path("song.wav")));

    QFile::remove(project);
    desktop->openFileAnswers.push_back(path("x.mp3"));
    form->FragButtonClick();
    EXPECT_EQ(desktop->openFileRequests.size(), 1u) << "the project file is gone";
    EXPECT_FALSE(QFile::exists(project));
}

} // namespace
