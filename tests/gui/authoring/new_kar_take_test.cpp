// The take: starting and releasing it, the marks, the time display, leaving the page.
#include "wizard_fixture.h"

namespace vokrin::authoring::testing {
namespace {

TEST_F(WizardTest, ThreeLinesTakeEightMarksAndRefuseTheNinth)
{
    prepareTake("one\r\ntwo\r\nthree\r\n");
    ASSERT_EQ(wizard->ListBox1->count(), 8);
    wizard->SpeedButton2->click();
    ASSERT_TRUE(wizard->SpeedButton2->isChecked());
    ASSERT_EQ(streamState(), DWORD(BASS_ACTIVE_PLAYING));

    tapMarks(8, 4410);
    EXPECT_EQ(wizard->marks().size(), 8u);
    EXPECT_EQ(selectedLine(), 7);
    tapMarks(1, 4410);
    EXPECT_EQ(wizard->marks().size(), 8u) << "the ninth mark has no line left";
    EXPECT_EQ(selectedLine(), 7);
    for (std::size_t i = 0; i < 8; ++i)
        EXPECT_EQ(wizard->marks()[i], (i + 1) * 4410 * kBytesPerFrame) << i;

    wizard->BitBtn3->click();
    wizard->BitBtn11->click();
    const content::SongProject project = readProject(wizard->FilenameEdit3->fileName());
    EXPECT_EQ(project.cues.size(), 8);
    EXPECT_EQ(project.lines, (QList<QByteArray>{"one", "two", "three"}));
    EXPECT_EQ(project.cues.first(), 4410 * kBytesPerFrame);
}

TEST_F(WizardTest, FirstMarkSelectsTheFirstLineAtTheHeardPosition)
{
    prepareTake("one\ntwo\n");
    wizard->SpeedButton2->click();
    EXPECT_EQ(selectedLine(), -1);
    EXPECT_EQ(wizard->markPointer(), -1);
    advance(12345);
    const QWORD heard = position();
    ASSERT_EQ(heard, 12345u * kBytesPerFrame);
    wizard->SpeedButton3->click();
    EXPECT_EQ(selectedLine(), 0);
    EXPECT_EQ(wizard->marks(), std::vector<std::uint32_t>{std::uint32_t(heard)});
    EXPECT_EQ(progressResets, 1) << "a take starts with the gauge at 0";
}

TEST_F(WizardTest, ReleasingTheTakeStopsTheTrackAndDropsItsMarks)
{
    prepareTake("one\ntwo\nthree\n");
    wizard->SpeedButton2->click();
    tapMarks(3, 1000);
    ASSERT_EQ(wizard->marks().size(), 3u);
    wizard->SpeedButton2->click();
    EXPECT_FALSE(wizard->SpeedButton2->isChecked());
    EXPECT_TRUE(wizard->marks().empty());
    EXPECT_EQ(streamState(), DWORD(BASS_ACTIVE_STOPPED));
    EXPECT_FALSE(wizard->Timer1->isActive());

    wizard->BitBtn3->click();
    wizard->BitBtn11->click();
    const content::SongProject project = readProject(wizard->FilenameEdit3->fileName());
    EXPECT_TRUE(project.cues.isEmpty());
    EXPECT_EQ(project.lines.size(), 3);
}

TEST_F(WizardTest, LeavingThePageWhileTheTakePlaysKeepsTheMarks)
{
    prepareTake("one\ntwo\nthree\n");
    wizard->SpeedButton2->click();
    ASSERT_TRUE(wizard->Timer1->isActive());
    tapMarks(2, 2000);
    wizard->BitBtn3->click();
    EXPECT_EQ(wizard->PageControl1->currentIndex(), TFormNewKar::TabSheet4);
    EXPECT_FALSE(wizard->SpeedButton2->isChecked());
    EXPECT_FALSE(wizard->Timer1->isActive());
    EXPECT_EQ(streamState(), DWORD(BASS_ACTIVE_STOPPED));
    const QWORD stoppedAt = position();
    advance(5000);
    EXPECT_EQ(position(), stoppedAt) << "the track stays stopped";

    wizard->BitBtn11->click();
    const content::SongProject project = readProject(wizard->FilenameEdit3->fileName());
    EXPECT_EQ(project.cues, (QList<quint32>{2000 * kBytesPerFrame, 4000 * kBytesPerFrame}));
}

TEST_F(WizardTest, EmptyTextGivesFiveEmptyLinesAndUpToFiveMarks)
{
    prepareTake("");
    EXPECT_EQ(wizard->ListBox1->count(), 5);
    for (int i = 0; i < wizard->ListBox1->count(); ++i)
        EXPECT_TRUE(wizard->ListBox1->item(i)->text().isEmpty());
    wizard->SpeedButton2->click();
    tapMarks(6, 100);
    EXPECT_EQ(wizard->marks().size(), 5u);

    wizard->BitBtn3->click();
    wizard->BitBtn11->click();
    const content::SongProject project = readProject(wizard->FilenameEdit3->fileName());
    EXPECT_EQ(project.cues.size(), 5);
    EXPECT_TRUE(project.lines.isEmpty());
}

TEST_F(WizardTest, EmptyTextLinesTakeMarksAndAreSavedAsEmptyLines)
{
    prepareTake("first\n\n\nlast");
    ASSERT_EQ(wizard->ListBox1->count(), 4 + 5);
    wizard->SpeedButton2->click();
    tapMarks(4, 500);
    EXPECT_EQ(selectedLine(), 3);
    EXPECT_EQ(wizard->ListBox1->item(3)->text(), QStringLiteral("last"));

    wizard->BitBtn3->click();
    wizard->BitBtn11->click();
    const content::SongProject project = readProject(wizard->FilenameEdit3->fileName());
    EXPECT_EQ(project.cues.size(), 4);
    EXPECT_EQ(project.lines, (QList<QByteArray>{"first", "", "", "last"}));
}

TEST_F(WizardTest, MarksGoOnFromThePointerAfterTheUserClicksALine)
{
    prepareTake("a\nb\nc\n");
    wizard->SpeedButton2->click();
    tapMarks(3, 100);
    // A click on the first line does not send the next mark back there.
    wizard->ListBox1->setCurrentRow(0);
    tapMarks(1, 100);
    EXPECT_EQ(selectedLine(), 3);
    // A click on the last line stops the marks.
    wizard->ListBox1->setCurrentRow(wizard->ListBox1->count() - 1);
    tapMarks(1, 100);
    EXPECT_EQ(wizard->marks().size(), 4u);
    // A click on an earlier line lets the marks go on, up to the last line and never
    // past it, whatever the user clicks.
    wizard->ListBox1->setCurrentRow(0);
    tapMarks(6, 100);
    EXPECT_EQ(wizard->marks().size(), 8u);
    EXPECT_EQ(selectedLine(), 7);
    wizard->ListBox1->setCurrentRow(0);
    tapMarks(1, 100);
    EXPECT_EQ(wizard->marks().size(), 8u);
    EXPECT_EQ(wizard->markPointer(), 7);
}

TEST_F(WizardTest, AMissingOrUnplayableTrackPopsTheButtonsUpOrReportsOnce)
{
    // No file: both buttons pop back up silently.
    wizard->SpeedButton1->click();
    EXPECT_FALSE(wizard->SpeedButton1->isChecked());
    wizard->FilenameEdit1->setFileName(pathIn("missing.wav"));
    wizard->PageControl1->setCurrentIndex(TFormNewKar::TabSheet3);
    wizard->SpeedButton2->click();
    EXPECT_FALSE(wizard->SpeedButton2->isChecked());
    EXPECT_FALSE(wizard->Timer1->isActive());
    EXPECT_EQ(player.stream(), 0u);
    EXPECT_EQ(unplayableReports, 0);
    EXPECT_TRUE(desktop.messages.empty());

    // A file the engine cannot open: the player reports it, the button stays down.
    wizard->FilenameEdit1->setFileName(writeText("noise.wav", QByteArray(4000, '\x5a')));
    wizard->SpeedButton2->click();
    EXPECT_TRUE(wizard->SpeedButton2->isChecked());
    EXPECT_EQ(unplayableReports, 1);
    EXPECT_EQ(player.stream(), 0u);
}

TEST_F(WizardTest, TimeDisplayShowsTheHeardMinutesAndSeconds)
{
    // A track long enough for minutes, small as mono at 8 kHz.
    prepareTake("a\n");
    ASSERT_TRUE(fixtures::writeWav(dir / "long.wav", fixtures::silence(8000, 1, 80)));
    wizard->FilenameEdit1->setFileName(pathIn("long.wav"));
    EXPECT_EQ(wizard->Timer1->interval(), 1000);
    EXPECT_FALSE(wizard->Timer1->isActive());
    wizard->SpeedButton2->click();
    EXPECT_TRUE(wizard->Timer1->isActive());
    advance(kRate * 75 + kRate / 2);
    wizard->Timer1Timer();
    EXPECT_EQ(wizard->RxLabel4->text(), QStringLiteral("Время вопроизведения: 01:15"));
    advance(kRate);
    wizard->Timer1Timer();
    EXPECT_EQ(wizard->RxLabel4->text(), QStringLiteral("Время вопроизведения: 01:16"));
}

TEST_F(WizardTest, PreviewPlaysUntilReleasedOrUntilPageOneIsLeft)
{
    desktop.openFileAnswers.push_back(audioPath);
    wizard->FilenameEdit1->runDialog();
    wizard->SpeedButton1->click();
    EXPECT_TRUE(wizard->SpeedButton1->isChecked());
    EXPECT_EQ(streamState(), DWORD(BASS_ACTIVE_PLAYING));
    EXPECT_EQ(progressResets, 1);
    advance(1000);
    EXPECT_EQ(position(), 1000u * kBytesPerFrame);
    wizard->SpeedButton1->click();
    EXPECT_EQ(streamState(), DWORD(BASS_ACTIVE_STOPPED));

    // Again from the start, then leave the page by its tab.
    wizard->SpeedButton1->click();
    EXPECT_EQ(position(), 0u);
    wizard->PageControl1->tab(TFormNewKar::TabSheet2)->click();
    EXPECT_EQ(wizard->PageControl1->currentIndex(), TFormNewKar::TabSheet2);
    EXPECT_FALSE(wizard->SpeedButton1->isChecked());
    EXPECT_EQ(streamState(), DWORD(BASS_ACTIVE_STOPPED));
}

TEST_F(WizardTest, ClosingWhileTheTakePlaysStopsItAndReleasesTheButton)
{
    prepareTake("a\nb\n");
    wizard->SpeedButton2->click();
    tapMarks(2, 100);
    wizard->BitBtn8->click();
    EXPECT_FALSE(wizard->isVisible());
    EXPECT_EQ(wizard->result(), QDialog::Rejected);
    EXPECT_FALSE(wizard->SpeedButton2->isChecked());
    EXPECT_FALSE(wizard->Timer1->isActive());
    EXPECT_EQ(streamState(), DWORD(BASS_ACTIVE_STOPPED));
    EXPECT_EQ(wizard->marks().size(), 2u);
}

} // namespace
} // namespace vokrin::authoring::testing
