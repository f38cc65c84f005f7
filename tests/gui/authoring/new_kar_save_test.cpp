// The save page: the proposed name, Save with its overwrite prompt, Finish.
#include "wizard_fixture.h"

#include "content/file_error.h"
#include "content/text_codec.h"
#include "write_faults.h"

#include <QDir>
#include <optional>

namespace vokrin::authoring::testing {
namespace {

const QString kExistsText = QStringLiteral("Файл с таким именем уже существует. Переписать?");
const QString kExistsCaption = QStringLiteral("Найден файл");
const QString kAddText = QStringLiteral("Добавить файл в список воспроизведения?");
const QString kAddCaption = QStringLiteral("Добавление файла");

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST_F(WizardTest, PageFourProposesTheTrackNameWithTheProjectExtension)
{
    const struct
    {
        QString audio;
        QString before;
        QString expected;
    } cases[] = {
        {QStringLiteral("/songs/a.mp3"), QString(), QStringLiteral("/songs/a.lyp")},
        {QStringLiteral("/songs/a.b.wav"), QString(), QStringLiteral("/songs/a.b.lyp")},
        {QString(), QString(), QStringLiteral(".lyp")},
        {QStringLiteral("/songs/a.mp3"), QStringLiteral("/mine/x.lyp"),
         QStringLiteral("/mine/x.lyp")},
    };
    for (const auto &c : cases) {
        wizard->PageControl1->setCurrentIndex(TFormNewKar::TabSheet1);
        wizard->FilenameEdit1->setFileName(c.audio);
        wizard->FilenameEdit3->setFileName(c.before);
        wizard->PageControl1->tab(TFormNewKar::TabSheet4)->click();
        EXPECT_EQ(wizard->FilenameEdit3->fileName(), c.expected) << c.audio.toStdString();
    }
}

TEST_F(WizardTest, SaveWritesTheTrackPathTheMarksAndTheEditedText)
{
    prepareTake("one\ntwo\n");
    wizard->SpeedButton2->click();
    tapMarks(2, 300);
    // An edit made on page 2 after loading is what gets saved.
    wizard->Memo1->setPlainText(QStringLiteral("one\nTWO\nthree\n"));
    wizard->BitBtn3->click();
    EXPECT_FALSE(wizard->saved());
    wizard->BitBtn11->click();
    EXPECT_TRUE(wizard->saved());
    EXPECT_TRUE(desktop.messages.empty()) << "no message confirms a save";

    const content::SongProject project = readProject(wizard->FilenameEdit3->fileName());
    EXPECT_EQ(project.backingTrackName, QFile::encodeName(audioPath));
    EXPECT_EQ(project.cues, (QList<quint32>{300 * kBytesPerFrame, 600 * kBytesPerFrame}));
    EXPECT_EQ(project.lines, (QList<QByteArray>{"one", "TWO", "three"}));
}

TEST_F(WizardTest, LinesGoBackInTheEncodingTheTextCameIn)
{
    const struct
    {
        const char *project;
        QByteArray text;
        QList<QByteArray> lines;
    } cases[] = {
        {"cp1251.lyp",
         "\xcf\xf0\xe8\xe2\xe5\xf2\r\n\xec\xe8\xf0\r\n", // Привет / мир
         {"\xcf\xf0\xe8\xe2\xe5\xf2", "\xec\xe8\xf0"}},
        {"utf8.lyp",
         QStringLiteral("Привет\nмир\n").toUtf8(),
         {QStringLiteral("Привет").toUtf8(), QStringLiteral("мир").toUtf8()}},
        // A no-break space (0xA0 in Windows-1251) is no plain space.
        {"cp1251-nbsp.lyp",
         "\xcf\xf0\xe8\xa0\xe2\xe5\xf2\r\n\xec\xe8\xf0\xa0\r\n",
         {"\xcf\xf0\xe8\xa0\xe2\xe5\xf2", "\xec\xe8\xf0\xa0"}},
        // Nor is U+2028 a line break: the line keeps it, and the line count stays.
        {"utf8-separators.lyp",
         "\xd0\xbc\xc2\xa0\xd0\xb8\xe2\x80\xa8\xd1\x80\nend\n",
         {"\xd0\xbc\xc2\xa0\xd0\xb8\xe2\x80\xa8\xd1\x80", "end"}},
    };
    for (const auto &c : cases) {
        wizard->FormShow();
        prepareTake(c.text);
        wizard->FilenameEdit3->setFileName(pathIn(c.project));
        EXPECT_EQ(wizard->ListBox1->count(), c.lines.size() + 5) << c.project;
        wizard->BitBtn3->click();
        wizard->BitBtn11->click();
        EXPECT_EQ(readProject(pathIn(c.project)).lines, c.lines) << c.project;
        // Loaded again, the saved lines are the same bytes.
        QByteArray joined;
        for (const QByteArray &line : c.lines)
            joined += line + "\n";
        wizard->FormShow();
        loadText(joined);
        wizard->FilenameEdit3->setFileName(pathIn(c.project) + ".again");
        wizard->BitBtn11->click();
        EXPECT_EQ(readProject(pathIn(c.project) + ".again").lines, c.lines) << c.project;
    }
    // Typed text with no file behind it is Windows-1251 when it fits.
    wizard->FormShow();
    wizard->Memo1->setPlainText(QStringLiteral("мир"));
    wizard->FilenameEdit3->setFileName(pathIn("typed.lyp"));
    wizard->BitBtn11->click();
    EXPECT_EQ(readProject(pathIn("typed.lyp")).lines, (QList<QByteArray>{"\xec\xe8\xf0"}));
}

TEST_F(WizardTest, OverwritePromptAnsweredCancelWritesNothingAndFinishStillOffersToAdd)
{
    const QString existing = writeText("old.lyp", "the old project");
    prepareTake("a\n");
    wizard->BitBtn3->click();
    wizard->FilenameEdit3->setFileName(existing);

    desktop.messageAnswers = {platform::MessageResult::Cancel};
    wizard->BitBtn11->click();
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].text, kExistsText);
    EXPECT_EQ(desktop.messages[0].caption, kExistsCaption);
    EXPECT_EQ(desktop.messages[0].icon, platform::MessageIcon::None);
    EXPECT_EQ(desktop.messages[0].buttons, platform::MessageButtons::OkCancel);
    EXPECT_EQ(fileBytes(existing), QByteArray("the old project"));
    EXPECT_FALSE(wizard->saved());

    // Finish saves first (asking again), then offers the file that is there.
    desktop.messageAnswers = {platform::MessageResult::Cancel, platform::MessageResult::Ok};
    wizard->BitBtn5->click();
    ASSERT_EQ(desktop.messages.size(), 3u);
    EXPECT_EQ(desktop.messages[1].caption, kExistsCaption);
    EXPECT_EQ(desktop.messages[2].text, kAddText);
    EXPECT_EQ(desktop.messages[2].caption, kAddCaption);
    EXPECT_EQ(desktop.messages[2].icon, platform::MessageIcon::None);
    EXPECT_EQ(desktop.messages[2].buttons, platform::MessageButtons::OkCancel);
    EXPECT_EQ(fileBytes(existing), QByteArray("the old project"));
    EXPECT_EQ(addedProjects, QStringList{existing});
    EXPECT_FALSE(wizard->isVisible());
    EXPECT_EQ(wizard->result(), QDialog::Accepted);
}

TEST_F(WizardTest, OverwritePromptAnsweredOkReplacesTheFile)
{
    const QString existing = writeText("old.lyp", "the old project");
    prepareTake("a\nb\n");
    wizard->BitBtn3->click();
    wizard->FilenameEdit3->setFileName(existing);
    desktop.messageAnswers = {platform::MessageResult::Ok};
    wizard->BitBtn11->click();
    EXPECT_TRUE(wizard->saved());
    EXPECT_EQ(readProject(existing).lines, (QList<QByteArray>{"a", "b"}));
    EXPECT_TRUE(QDir(QString::fromStdString(dir.string()))
                    .entryList({QStringLiteral("*.tmp*"), QStringLiteral(".*lyp*")},
                               QDir::Files | QDir::Hidden)
                    .isEmpty())
        << "no temporary file is left behind";
}

TEST_F(WizardTest, FinishAfterASaveOnlyAsksAboutTheCatalogue)
{
    prepareTake("a\n");
    wizard->BitBtn3->click();
    wizard->BitBtn11->click();
    const QString saved = wizard->FilenameEdit3->fileName();
    const QByteArray bytes = fileBytes(saved);
    // Later edits are not saved by Finish once the project was saved.
    wizard->Memo1->setPlainText(QStringLiteral("changed\n"));
    desktop.messageAnswers = {platform::MessageResult::Cancel};
    wizard->BitBtn5->click();
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].caption, kAddCaption);
    EXPECT_TRUE(addedProjects.isEmpty());
    EXPECT_EQ(fileBytes(saved), bytes);
    EXPECT_EQ(wizard->result(), QDialog::Accepted);
}

TEST_F(WizardTest, AProjectThatCannotBeWrittenReportsAnErrorAndFinishStillCloses)
{
    // A name that no file can take: an empty box, and a folder standing where the file
    // should go (the prompt is answered OK; the folder survives).
    wizard->FilenameEdit3->setFileName(QString());
    EXPECT_THROW(wizard->BitBtn11Click(), std::runtime_error);
    EXPECT_FALSE(wizard->saved());

    const QString folder = pathIn("taken.lyp");
    ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("/inside")));
    wizard->FilenameEdit3->setFileName(folder);
    desktop.messageAnswers = {platform::MessageResult::Ok};
    EXPECT_THROW(wizard->BitBtn11Click(), std::runtime_error);
    EXPECT_FALSE(wizard->saved());
    EXPECT_TRUE(QFileInfo(folder + QStringLiteral("/inside")).isDir());

    desktop.messageAnswers = {platform::MessageResult::Ok};
    EXPECT_THROW(wizard->BitBtn5Click(), std::runtime_error);
    EXPECT_FALSE(wizard->isVisible()) << "Finish closes the wizard even when saving fails";
    EXPECT_EQ(wizard->result(), QDialog::Accepted);
    EXPECT_TRUE(addedProjects.isEmpty());
}

// A full disk and a folder that cannot be written: Save reports the writer's error, the
// project already there keeps its bytes, and once the fault is gone Save works.
class WizardSaveFaultTest : public WizardTest
{
protected:
    void saveUnderFault(bool fullDisk)
    {
        const auto folder = vokrin::testing::makeTempDir("faulty");
        const QString existing = QString::fromStdString((folder / "old.lyp").string());
        content::writeProjectFile(existing, content::SongProject{"old.mp3", {4}, {"old"}});
        const QByteArray before = fileBytes(existing);
        prepareTake(QByteArray("a long line of the song\n").repeated(400));
        wizard->BitBtn3->click();
        wizard->FilenameEdit3->setFileName(existing);
        {
            std::optional<vokrin::testing::ScopedFileSizeLimit> fullGuard;
            std::optional<vokrin::testing::ScopedReadOnlyFolder> readOnly;
            if (fullDisk) {
                fullGuard.emplace(4096);
            } else {
                readOnly.emplace(QString::fromStdString(folder.string()));
                ASSERT_TRUE(readOnly->active()) << "the folder could not be made read-only";
            }
            desktop.messageAnswers = {platform::MessageResult::Ok}; // replace it
            EXPECT_THROW(wizard->BitBtn11Click(), content::ContentFileError);
        }
        EXPECT_FALSE(wizard->saved());
        EXPECT_EQ(fileBytes(existing), before);
        EXPECT_EQ(
            QDir(QString::fromStdString(folder.string())).entryList(QDir::Files | QDir::Hidden),
            QStringList{QStringLiteral("old.lyp")});
        desktop.messageAnswers = {platform::MessageResult::Ok};
        wizard->BitBtn11Click();
        EXPECT_TRUE(wizard->saved());
        EXPECT_EQ(readProject(existing).lines.size(), 400);
    }
};

TEST_F(WizardSaveFaultTest, OnAFullDiskTheOldProjectStays)
{
    saveUnderFault(true);
}

TEST_F(WizardSaveFaultTest, InAFolderThatCannotBeWrittenTheOldProjectStays)
{
    saveUnderFault(false);
}

TEST_F(WizardTest, ATrackNameLongerThanTheFieldIsCutAtACharacterBoundary)
{
    // "/ab/" and 140 two-byte letters: 288 bytes with ".mp3"; the field keeps 254 bytes
    // (125 letters), since the 126th letter would end at byte 256.
    const QString longName =
        QStringLiteral("/ab/") + QString(140, QChar(u'я')) + QStringLiteral(".mp3");
    wizard->FilenameEdit1->setFileName(longName);
    wizard->FilenameEdit3->setFileName(pathIn("long.lyp"));
    wizard->BitBtn11->click();
    const QByteArray stored = readProject(pathIn("long.lyp")).backingTrackName;
    EXPECT_EQ(stored, QFile::encodeName(longName).left(254));
    EXPECT_EQ(QString::fromUtf8(stored), QStringLiteral("/ab/") + QString(125, QChar(u'я')));
}

} // namespace
} // namespace vokrin::authoring::testing
