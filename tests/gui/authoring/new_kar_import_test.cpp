// Song texts with times in the wizard: an LRC or UltraStar text fills the text box and,
// on page 3, the marks; a take replaces them; bad files leave the text box alone.
#include "wizard_fixture.h"

#include "content/text_codec.h"

namespace vokrin::authoring::testing {
namespace {

// Byte positions of 20 s of 44.1 kHz stereo.
constexpr std::uint32_t kBytesPerSecond = kRate * kBytesPerFrame;

class WizardImportTest : public WizardTest
{
protected:
    void chooseAudio(const QString &path)
    {
        desktop.openFileAnswers.push_back(path);
        wizard->FilenameEdit1->runDialog();
    }
    void chooseText(const char *name, const QByteArray &bytes)
    {
        desktop.openFileAnswers.push_back(writeText(name, bytes));
        wizard->FilenameEdit2->runDialog();
    }
    void enterPage3()
    {
        wizard->PageControl1->tab(TFormNewKar::TabSheet3)->click();
        ASSERT_EQ(wizard->PageControl1->currentIndex(), TFormNewKar::TabSheet3);
    }
    void leavePage3() { wizard->PageControl1->tab(TFormNewKar::TabSheet2)->click(); }
    QStringList lineList() const
    {
        QStringList items;
        for (int i = 0; i < wizard->ListBox1->count(); ++i)
            items << wizard->ListBox1->item(i)->text();
        return items;
    }
    std::vector<std::uint32_t> marks() const { return wizard->marks(); }
};

const QByteArray kLrc = "[ti:Song]\n[ar:Singer]\n[00:01.00]One\n[00:02.50][00:10.00]Two\n"
                        "[offset:+500]\n";

TEST_F(WizardImportTest, AnLrcChosenBeforeTheAudioBecomesMarksOnPageThree)
{
    // The text first, the track after it: the marks are made when page 3 is entered.
    chooseText("song.lrc", kLrc);
    EXPECT_EQ(wizard->textLines(), (QStringList{"One", "Two", "Two"}));
    EXPECT_TRUE(marks().empty());
    chooseAudio(audioPath);
    enterPage3();
    EXPECT_TRUE(desktop.messages.empty());
    EXPECT_EQ(marks(), (std::vector<std::uint32_t>{kBytesPerSecond / 2, kBytesPerSecond * 2,
                                                   kBytesPerSecond * 19 / 2}));
    // Each line shows its time beside it; the five empty lines follow.
    EXPECT_EQ(lineList(),
              (QStringList{"00:00.50  One", "00:02.00  Two", "00:09.50  Two", "", "", "", "", ""}));

    // Kept and saved as they are.
    wizard->PageControl1->tab(TFormNewKar::TabSheet4)->click();
    wizard->BitBtn11->click();
    const content::SongProject project = readProject(wizard->FilenameEdit3->fileName());
    EXPECT_EQ(project.cues,
              (QList<quint32>{kBytesPerSecond / 2, kBytesPerSecond * 2, kBytesPerSecond * 19 / 2}));
    EXPECT_EQ(project.lines, (QList<QByteArray>{"One", "Two", "Two"}));
    EXPECT_EQ(project.backingTrackName, QFile::encodeName(audioPath));
}

TEST_F(WizardImportTest, ATakeReplacesTheImportedMarksForGood)
{
    chooseAudio(audioPath);
    chooseText("song.lrc", kLrc);
    enterPage3();
    ASSERT_EQ(marks().size(), 3u);

    wizard->SpeedButton2->click(); // the take starts: imported marks are gone
    EXPECT_TRUE(marks().empty());
    EXPECT_EQ(lineList().first(), "One");
    tapMarks(1, 300);
    EXPECT_EQ(marks(), (std::vector<std::uint32_t>{300 * kBytesPerFrame}));
    // Coming back to page 3 does not bring the imported times back.
    leavePage3();
    enterPage3();
    EXPECT_EQ(marks(), (std::vector<std::uint32_t>{300 * kBytesPerFrame}));
}

TEST_F(WizardImportTest, AnUltraStarSongInATxtFileIsReadWithItsTimes)
{
    chooseAudio(audioPath);
    // 300 BPM: 50 ms a beat; GAP 2000 ms. Windows-1251 text.
    chooseText("song.txt", "#TITLE:x\r\n#BPM:300\r\n#GAP:2000\r\n: 0 2 0 \xCF\xE5\r\n"
                           ": 2 2 0 \xF1\xED\xFF\r\n- 4\r\n: 20 2 0 two\r\nE\r\n");
    EXPECT_EQ(wizard->textLines(), (QStringList{QStringLiteral("Песня"), "two"}));
    enterPage3();
    EXPECT_EQ(marks(), (std::vector<std::uint32_t>{kBytesPerSecond * 2, kBytesPerSecond * 3}));
    wizard->PageControl1->tab(TFormNewKar::TabSheet4)->click();
    wizard->BitBtn11->click();
    // The lines go back in the file's own encoding.
    EXPECT_EQ(readProject(wizard->FilenameEdit3->fileName()).lines,
              (QList<QByteArray>{"\xCF\xE5\xF1\xED\xFF", "two"}));
}

TEST_F(WizardImportTest, APlainTextLoadsAsAlwaysAndDropsEarlierTimes)
{
    chooseAudio(audioPath);
    chooseText("song.lrc", kLrc);
    chooseText("plain.txt", "[00:01.00]not a tag in a plain text\nsecond\n");
    EXPECT_EQ(wizard->textLines(), (QStringList{"[00:01.00]not a tag in a plain text", "second"}));
    EXPECT_TRUE(wizard->importedTimes().isEmpty());
    enterPage3();
    EXPECT_TRUE(marks().empty());
    EXPECT_EQ(lineList().first(), "[00:01.00]not a tag in a plain text");
}

TEST_F(WizardImportTest, BadFilesSayWhyAndLeaveTheTextBoxAlone)
{
    QByteArray huge(content::kMaxTimedTextBytes + 10, 'a');
    huge.prepend("[00:01.00]");
    const struct
    {
        const char *name;
        QByteArray bytes;
        QString message;
    } cases[] = {
        {"bad.lrc", "[00:01.00]a\n[00:7x.00]b\n",
         QStringLiteral("Строка 2: время или заголовок не читается.")},
        {"none.lrc", "just words\n", QStringLiteral("В файле нет строк со временем.")},
        {"utf16.lrc",
         QByteArray("\xFF\xFE[\0"
                    "0\0",
                    6),
         QStringLiteral("Файл не является текстом в кодировке UTF-8 или Windows-1251 "
                        "(двоичные данные или UTF-16).")},
        {"utf16-song.txt", QByteArray("\xFF\xFE#\0T\0", 6),
         QStringLiteral("Файл не является текстом в кодировке UTF-8 или Windows-1251 "
                        "(двоичные данные или UTF-16).")},
        {"garbage.lrc",
         QByteArray("\x7F"
                    "ELF\x02\x01\x01\0\0\0",
                    10),
         QStringLiteral("Файл не является текстом в кодировке UTF-8 или Windows-1251 "
                        "(двоичные данные или UTF-16).")},
        {"nobpm.txt", "#TITLE:x\n: 0 1 0 a\n",
         QStringLiteral("В песне нет правильного заголовка #BPM.")},
        {"huge.lrc", huge, QStringLiteral("Файл слишком велик для текста песни (больше 4 МБ).")},
    };
    loadText("kept\n");
    for (const auto &c : cases) {
        desktop.messages.clear();
        chooseText(c.name, c.bytes);
        ASSERT_EQ(desktop.messages.size(), 1u) << c.name;
        EXPECT_EQ(desktop.messages[0].text, c.message) << c.name;
        EXPECT_EQ(desktop.messages[0].caption, QStringLiteral("Файл текста"));
        EXPECT_EQ(wizard->textLines(), QStringList{"kept"}) << c.name;
        EXPECT_TRUE(wizard->importedTimes().isEmpty()) << c.name;
    }
}

TEST_F(WizardImportTest, TimesTheTrackCannotTakeMakeNoMarks)
{
    // Past the end of the 20 s track.
    chooseText("late.lrc", "[00:05.00]in time\n[00:25.00]too late\n");
    chooseAudio(audioPath);
    enterPage3();
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].text,
              QStringLiteral("Строка 2 файла текста (00:25.00) начинается после конца "
                             "фонограммы: метки не поставлены."));
    EXPECT_TRUE(marks().empty());

    // No audio file, then one the engine does not open: said once each, no marks.
    const struct
    {
        QString audio;
        QString message;
    } cases[] = {
        {QString(), QStringLiteral("Файл фонограммы не выбран: времена строк из файла текста "
                                   "не перенесены в метки.")},
        {writeText("noise.wav", "RIFF....not audio at all"),
         QStringLiteral("Файл фонограммы не открывается: времена строк из файла текста не "
                        "перенесены в метки.")},
    };
    for (const auto &c : cases) {
        leavePage3();
        chooseText("song.lrc", kLrc);
        wizard->FilenameEdit1->setFileName(c.audio);
        desktop.messages.clear();
        enterPage3();
        ASSERT_EQ(desktop.messages.size(), 1u) << c.audio.toStdString();
        EXPECT_EQ(desktop.messages[0].text, c.message);
        EXPECT_TRUE(marks().empty());
    }
    // Once the track is there, the same text gives its marks.
    leavePage3();
    wizard->FilenameEdit1->setFileName(audioPath);
    enterPage3();
    EXPECT_EQ(marks().size(), 3u);
}

} // namespace
} // namespace vokrin::authoring::testing
