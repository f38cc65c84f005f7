// The catalogue: adding with ID3v1 titles, removing, saving and opening list files, the
// project loader, and the temporary tag stream leaving the effect chain alone.
#include "main_form_fixture.h"

#include "app/directory_edit.h"
#include "controls/led.h"
#include "display/lyric_list.h"
#include "fixture_writers.h"

#include <QFile>
#include <QTest>
#include <QTreeWidget>

namespace {

TEST_F(MainFormTest, AddingTakesTheTrackNameAndKeepsTheProjectPathAsGiven)
{
    const QString project = makeSong("a");
    form->AddProject(project);
    form->AddProject(project);
    EXPECT_EQ(catalogueColumn(0), QStringList({"a.wav", "a.wav"}));
    EXPECT_EQ(catalogueColumn(1), QStringList({project, project}));
    EXPECT_EQ(selectedRow(), -1);
    EXPECT_TRUE(desktop->messages.empty());
}

TEST_F(MainFormTest, MissingProjectsAndTracksAddNothing)
{
    form->AddProject(path("nothing.lyp"));
    form->AddProject(QString());
    form->AddProject(makeProject("orphan.lyp", QFile::encodeName(path("gone.wav"))));
    EXPECT_EQ(form->ListView1->topLevelItemCount(), 0);
    EXPECT_TRUE(desktop->messages.empty());
}

TEST_F(MainFormTest, ATrackNamedRelativeToTheFolderIsFoundThroughIt)
{
    std::filesystem::create_directories(dir / "Songs");
    makeTrack("Songs/rel.wav");
    const QString project = makeProject("rel.lyp", "/rel.wav");
    form->DirectoryEdit1->setProperty("Text", path("Songs"));
    form->AddProject(project);
    ASSERT_EQ(form->ListView1->topLevelItemCount(), 1);
    EXPECT_EQ(catalogueColumn(0), QStringList({"rel.wav"}));
    form->ListView1->setCurrentItem(form->ListView1->topLevelItem(0));
    form->ListBox2Click();
    EXPECT_EQ(form->BackingTrackPath, path("Songs/rel.wav"));
}

struct TitleCase
{
    const char *title; // nullptr: no ID3v1 block
    const char *caption;
};

class CatalogueTitleTest : public MainFormTest, public ::testing::WithParamInterface<TitleCase>
{
};

TEST_P(CatalogueTitleTest, TheCaptionComesFromTheId3v1TitleOrTheFileName)
{
    const QString plain = makeTrack("plain.wav");
    QString track = plain;
    if (GetParam().title != nullptr) {
        track = path("tagged.wav");
        ASSERT_TRUE(vokrin::fixtures::copyWithId3v1(plain.toStdString(), track.toStdString(),
                                                    GetParam().title));
    }
    form->AddProject(makeProject("song.lyp", QFile::encodeName(track)));
    ASSERT_EQ(form->ListView1->topLevelItemCount(), 1);
    EXPECT_EQ(catalogueColumn(0).front(), QString::fromUtf8(GetParam().caption));
}

INSTANTIATE_TEST_SUITE_P(Titles, CatalogueTitleTest,
                         ::testing::Values(TitleCase{nullptr, "plain.wav"},
                                           TitleCase{"", "tagged.wav"},
                                           TitleCase{"      ", "tagged.wav"},
                                           TitleCase{"  Morning  ", "Morning"},
                                           TitleCase{"Part 1: Intro", " Intro"},
                                           TitleCase{"ABCDEFGHIJKLMNOPQRSTUVWXYZ1234",
                                                     "ABCDEFGHIJKLMNOPQRSTUVWXYZ1234"}));

TEST_F(MainFormTest, ALoadedProjectReplacesTextAndCuesWithoutTouchingPlayback)
{
    const QString first = makeSong("first");
    const QString second = makeProject("second.lyp", QFile::encodeName(path("missing.wav")),
                                       {7, 8, 9}, {"x", "", "y", "z"});
    form->AddProject(first);
    form->ButtonPlayClick();
    // A project whose track is missing cannot be added, so put it in by hand.
    auto *entry = new QTreeWidgetItem(form->ListView1);
    entry->setText(1, second);
    form->ListView1->setCurrentItem(entry);
    form->ListBox2Click();
    EXPECT_EQ(form->Cues, (QList<quint32>{7, 8, 9}));
    ASSERT_EQ(form->ListBox1->count(), 4);
    EXPECT_EQ(form->ListBox1->item(1)->text(), "");
    EXPECT_EQ(form->BackingTrackPath, path("missing.wav"));
    EXPECT_EQ(state(), static_cast<DWORD>(BASS_ACTIVE_PLAYING));

    // Play stops after the load when the track is missing; the old track goes on.
    form->ButtonPlayClick();
    EXPECT_EQ(state(), static_cast<DWORD>(BASS_ACTIVE_PLAYING));
    EXPECT_EQ(form->ListBox1->count(), 4);
}

TEST_F(MainFormTest, RemovingThePlayingEntryKeepsItPlayingAndSelectsNothing)
{
    form->AddProject(makeSong("a"));
    form->AddProject(makeSong("b"));
    form->ListView1->setCurrentItem(form->ListView1->topLevelItem(1));
    form->ButtonPlayClick();
    form->SpeedButton2Click();
    EXPECT_EQ(catalogueColumn(1), QStringList({path("a.lyp")}));
    EXPECT_EQ(selectedRow(), -1);
    EXPECT_EQ(state(), static_cast<DWORD>(BASS_ACTIVE_PLAYING));
    EXPECT_EQ(form->ListBox1->count(), 2);
    EXPECT_EQ(form->BackingTrackPath, path("b.wav"));
    form->SpeedButton2Click(); // nothing selected: nothing removed
    EXPECT_EQ(form->ListView1->topLevelItemCount(), 1);
}

TEST_F(MainFormTest, ASavedListReadsBackAsTheSameEntries)
{
    const QString a = makeSong("a");
    const QString b = makeSong("b");
    desktop->openFileAnswers.push_back(a);
    form->SpeedButton1Click();
    form->AddProject(b);
    ASSERT_EQ(desktop->openFileRequests.size(), 1u);
    EXPECT_EQ(desktop->openFileRequests[0].filter, "Lyrano files|*.lyp");
    EXPECT_EQ(desktop->openFileRequests[0].defaultSuffix, "lyp");

    const QString list = path("songs.lyl");
    desktop->saveFileAnswers.push_back(list);
    form->SpeedButton7Click();
    ASSERT_EQ(desktop->saveFileRequests.size(), 1u);
    EXPECT_EQ(desktop->saveFileRequests[0].filter, "Lyrano list files|*.lyl");
    EXPECT_EQ(desktop->saveFileRequests[0].defaultSuffix, "lyl");
    EXPECT_FALSE(desktop->saveFileRequests[0].overwritePrompt);
    QFile file(list);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QFile::encodeName(a) + "\r\n" + QFile::encodeName(b) + "\r\n");

    form->ListView1->setCurrentItem(form->ListView1->topLevelItem(1));
    desktop->openFileAnswers.push_back(list);
    form->SpeedButton8Click();
    EXPECT_EQ(desktop->openFileRequests.back().filter, "Lyrano list files|*.lyl");
    EXPECT_EQ(catalogueColumn(1), QStringList({a, b}));
    EXPECT_EQ(catalogueColumn(0), QStringList({"a.wav", "b.wav"}));
    EXPECT_EQ(selectedRow(), -1);
}

TEST_F(MainFormTest, AListWithBareLineFeedsAndNoLastLineEndReadsEveryLine)
{
    const QString a = makeSong("a");
    const QString b = makeSong("b");
    const QString c = makeSong("c");
    const auto list = dir / "bare.lyl";
    const QByteArray bytes = QFile::encodeName(a) + "\n\n" + QFile::encodeName(path("nope.lyp")) +
                             "\r" + QFile::encodeName(b) + "\n" + QFile::encodeName(c);
    ASSERT_TRUE(
        vokrin::fixtures::writeBytes(list, std::vector<uint8_t>(bytes.begin(), bytes.end())));
    form->AddProject(a); // replaced by the list
    desktop->openFileAnswers.push_back(QString::fromStdString(list.string()));
    form->SpeedButton8Click();
    EXPECT_EQ(catalogueColumn(1), QStringList({a, b, c}));
}

TEST_F(MainFormTest, AListThatCannotBeReadLeavesTheCatalogueAsItWas)
{
    form->AddProject(makeSong("a"));
    desktop->openFileAnswers.push_back(path("no-such.lyl"));
    EXPECT_ANY_THROW(form->SpeedButton8Click());
    EXPECT_EQ(form->ListView1->topLevelItemCount(), 1);
    // A cancelled dialog changes nothing either.
    form->SpeedButton8Click();
    form->SpeedButton7Click();
    EXPECT_EQ(form->ListView1->topLevelItemCount(), 1);
}

TEST_F(MainFormTest, ReadingTagsLeavesTheEffectChainOnThePlayingTrack)
{
    form->AddProject(makeSong("a"));
    form->ButtonPlayClick();
    const auto before = form->Effects;
    ASSERT_NE(before.compressor, 0u);
    form->AddProject(makeSong("b"));
    EXPECT_EQ(form->Effects.EqBands, before.EqBands);
    EXPECT_EQ(form->Effects.compressor, before.compressor);
    EXPECT_EQ(form->Effects.echo, before.echo);
    EXPECT_EQ(form->Effects.reverb, before.reverb);
    // A toggle still reaches the playing track.
    form->compClick();
    BASS_FXCOMPRESSOR record{};
    ASSERT_TRUE(BASS_FXGetParameters(form->Effects.compressor, &record));
    EXPECT_FLOAT_EQ(record.fRatio, 10);
}

TEST_F(MainFormTest, TypingInTheCatalogueNeverMovesItsSelectionAndEnterPlays)
{
    form->AddProject(makeSong("alpha"));
    form->AddProject(makeSong("beta"));
    form->show();
    form->ListView1->setFocus();
    form->ListView1->setCurrentItem(form->ListView1->topLevelItem(0));
    QTest::keyClicks(form->ListView1, "bb");
    EXPECT_EQ(selectedRow(), 0);
    QTest::keyClick(form->ListView1, Qt::Key_Down);
    EXPECT_EQ(selectedRow(), 1);
    EXPECT_TRUE(form->BackingTrackPath.isEmpty()) << "the keyboard loads nothing";
    QTest::keyClick(form->ListView1, Qt::Key_Return);
    EXPECT_EQ(form->BackingTrackPath, path("beta.wav"));
    EXPECT_EQ(state(), static_cast<DWORD>(BASS_ACTIVE_PLAYING));
}

TEST_F(MainFormTest, ClicksLoadAndDoubleClicksPlay)
{
    form->AddProject(makeSong("a"));
    form->show();
    QWidget *viewport = form->ListView1->viewport();
    const QPoint onEntry =
        form->ListView1->visualItemRect(form->ListView1->topLevelItem(0)).center();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, onEntry);
    EXPECT_EQ(form->BackingTrackPath, path("a.wav"));
    EXPECT_EQ(form->Stream(), 0u);
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, onEntry);
    EXPECT_EQ(state(), static_cast<DWORD>(BASS_ACTIVE_PLAYING));
}

} // namespace
