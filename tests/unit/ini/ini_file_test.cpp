#include "settings/ini_file.h"

#include "test_env.h"
#include "write_faults.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using vokrin::settings::EIniFileException;
using vokrin::settings::TIniFile;

// Readable failure messages for texts.
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace {

QString settingsFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/vokrin");
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// Every test starts without a settings folder.
class IniFileTest : public ::testing::Test
{
protected:
    void SetUp() override { QDir(settingsFolder()).removeRecursively(); }
    void TearDown() override { QDir(settingsFolder()).removeRecursively(); }
};

} // namespace

TEST_F(IniFileTest, MissingFileReadsAsEmptyAndTheFirstWriteCreatesItAndItsFolder)
{
    TIniFile ini(QStringLiteral("vokrin.ini"));
    EXPECT_EQ(ini.FileName(), settingsFolder() + QStringLiteral("/vokrin.ini"));
    EXPECT_EQ(ini.ReadString("TParamsForm", "eq_enabled", "FALSE"), "FALSE");
    EXPECT_EQ(ini.ReadInteger("TParamsForm", "CompRatio_Value", 10), 10);
    EXPECT_TRUE(ini.ReadBool("TParamsForm", "x", true));
    EXPECT_EQ(ini.ReadFloat("TParamsForm", "ReverMix_Value", -96.0), -96.0);
    EXPECT_FALSE(ini.SectionExists("TParamsForm"));
    EXPECT_FALSE(ini.ValueExists("TParamsForm", "eq_enabled"));
    EXPECT_FALSE(QDir(settingsFolder()).exists());

    ini.WriteString("TParamsForm", "eq_enabled", "TRUE");
    EXPECT_EQ(fileBytes(ini.FileName()), QByteArray("[TParamsForm]\neq_enabled=TRUE\n"));
    EXPECT_TRUE(ini.SectionExists("tparamsform"));
    EXPECT_TRUE(ini.ValueExists("TPARAMSFORM", "EQ_ENABLED"));
    EXPECT_FALSE(ini.SectionExists("TMainForm"));
    EXPECT_EQ(ini.ReadString("TMainForm", "Volume_Value", "def"), "def");
}

TEST_F(IniFileTest, EveryKindOfValueRoundTripsThroughTheFile)
{
    TIniFile writer(QStringLiteral("vokrin.ini"));
    writer.WriteString("S", "Text", "Courier New");
    writer.WriteString("S", "Quoted", "\"\"C:\\My Songs\\\"\"");
    writer.WriteString("S", "Cyrillic", QString::fromUtf8("Каталог фонограмм"));
    writer.WriteInteger("S", "Negative", -16777208);
    writer.WriteBool("S", "On", true);
    writer.WriteBool("S", "Off", false);
    writer.WriteString("S", "Hex", "0x10");
    writer.WriteString("S", "Broken", "12abc");
    writer.WriteString("S", "Two", "2");

    // A fresh object reads the file again: nothing is cached.
    const TIniFile reader(QStringLiteral("vokrin.ini"));
    EXPECT_EQ(reader.ReadString("s", "text", ""), "Courier New");
    EXPECT_EQ(reader.ReadString("S", "Quoted", ""), "\"C:\\My Songs\\\"");
    EXPECT_EQ(reader.ReadString("S", "Cyrillic", ""), QString::fromUtf8("Каталог фонограмм"));
    EXPECT_EQ(reader.ReadInteger("S", "Negative", 0), -16777208);
    EXPECT_EQ(reader.ReadString("S", "On", ""), "1");
    EXPECT_EQ(reader.ReadString("S", "Off", ""), "0");
    EXPECT_EQ(reader.ReadInteger("S", "Hex", 0), 16);
    EXPECT_EQ(reader.ReadInteger("S", "Broken", 77), 77);
    EXPECT_EQ(reader.ReadInteger("S", "Text", 77), 77);
    // Booleans: any non-zero whole number is true; text that is no number gives the default.
    EXPECT_TRUE(reader.ReadBool("S", "On", false));
    EXPECT_FALSE(reader.ReadBool("S", "Off", true));
    EXPECT_TRUE(reader.ReadBool("S", "Two", false));
    EXPECT_TRUE(reader.ReadBool("S", "Negative", false));
    EXPECT_TRUE(reader.ReadBool("S", "Text", true));
    EXPECT_FALSE(reader.ReadBool("S", "Text", false));
    EXPECT_EQ(reader.ReadFloat("S", "Negative", 0.0), -16777208.0);
    EXPECT_EQ(reader.ReadFloat("S", "Broken", 333.0), 333.0);
}

TEST_F(IniFileTest, ReadFloatFollowsTheUsersLocale)
{
    TIniFile ini(QStringLiteral("vokrin.ini"));
    ini.WriteString("S", "Comma", "1,5");
    ini.WriteString("S", "Point", "1.5");
    ini.WriteString("S", "Whole", "-10");
    ini.WriteString("S", "Empty", "");
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    EXPECT_EQ(ini.ReadFloat("S", "Comma", 9.0), 1.5);
    EXPECT_EQ(ini.ReadFloat("S", "Point", 9.0), 9.0);
    EXPECT_EQ(ini.ReadFloat("S", "Whole", 9.0), -10.0);
    EXPECT_EQ(ini.ReadFloat("S", "Empty", 9.0), 9.0);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(ini.ReadFloat("S", "Comma", 9.0), 9.0);
    EXPECT_EQ(ini.ReadFloat("S", "Point", 9.0), 1.5);
    EXPECT_EQ(ini.ReadFloat("S", "Whole", 9.0), -10.0);
    QLocale::setDefault(saved);
}

TEST_F(IniFileTest, WritesKeepEverythingElseOfTheFile)
{
    const QString path = settingsFolder() + QStringLiteral("/vokrin.ini");
    writeBytes(path, "; hand-written\r\n"
                     "[TMainForm]\r\n"
                     "Volume_Value=40\r\n"
                     "DirectoryEdit1_Text=\"\"/home/me/Songs/\"\"\r\n"
                     "\r\n"
                     "[TParamsForm]\r\n"
                     "eq_Enabled=True\r\n"
                     "ReverMix_Value=-50\r\n");
    TIniFile ini(QStringLiteral("vokrin.ini"));
    ini.WriteString("TPARAMSFORM", "EQ_ENABLED", "FALSE");
    ini.WriteString("TParamsForm", "comp_enabled", "TRUE");
    ini.WriteInteger("TMainForm", "Pan_Value", -5);
    EXPECT_EQ(fileBytes(path), QByteArray("; hand-written\r\n"
                                          "[TMainForm]\r\n"
                                          "Volume_Value=40\r\n"
                                          "DirectoryEdit1_Text=\"\"/home/me/Songs/\"\"\r\n"
                                          "Pan_Value=-5\r\n"
                                          "\r\n"
                                          "[TParamsForm]\r\n"
                                          "eq_Enabled=FALSE\r\n"
                                          "ReverMix_Value=-50\r\n"
                                          "comp_enabled=TRUE\r\n"));
    EXPECT_EQ(ini.ReadString("TMainForm", "DirectoryEdit1_Text", ""), "\"/home/me/Songs/\"");
    // No temporary file is left beside the settings file.
    EXPECT_EQ(QDir(settingsFolder()).entryList(QDir::Files | QDir::Hidden),
              QStringList{"vokrin.ini"});
}

TEST_F(IniFileTest, BareNamesInEitherLetterCaseAddressOneFile)
{
    // Before the file exists, whichever name writes first decides its spelling, and the
    // other object, made earlier, still finds it afterwards.
    TIniFile formStorage(QStringLiteral("vokrin.INI"));
    TIniFile mainWindow(QStringLiteral("vokrin.ini"));
    formStorage.WriteString("TParamsForm", "eq_Enabled", "True");
    EXPECT_EQ(mainWindow.ReadString("TParamsForm", "eq_enabled", "FALSE"), "True");
    mainWindow.WriteString("TParamsForm", "eq_enabled", "FALSE");
    EXPECT_EQ(formStorage.ReadString("TParamsForm", "eq_Enabled", ""), "FALSE");
    EXPECT_EQ(QDir(settingsFolder()).entryList(QDir::Files), QStringList{"vokrin.INI"});
    EXPECT_EQ(mainWindow.FileName(), formStorage.FileName());
    EXPECT_EQ(vokrin::settings::resolveSettingsFile(QStringLiteral("VOKRIN.ini")),
              formStorage.FileName());

    // A name with a folder is used as it is and never matched by case.
    const QString elsewhere =
        QString::fromStdString((vokrin::testing::makeTempDir("ini") / "Other.INI").string());
    EXPECT_EQ(vokrin::settings::resolveSettingsFile(elsewhere), elsewhere);
    TIniFile other(elsewhere);
    other.WriteInteger("A", "b", 1);
    EXPECT_TRUE(QFile::exists(elsewhere));
    EXPECT_EQ(QDir(settingsFolder()).entryList(QDir::Files), QStringList{"vokrin.INI"});
}

namespace {

// Tries a write that the file system must refuse and checks the message and that the file
// is as it was.
void expectRefused(const QString &path, const char *why)
{
    const QByteArray before = fileBytes(path);
    TIniFile ini(path);
    try {
        ini.WriteString("A", "keep", "2");
        ADD_FAILURE() << why << ": the write was not refused";
    } catch (const EIniFileException &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Unable to write to ") + path) << why;
        EXPECT_STREQ(e.what(), ("Unable to write to " + path.toStdString()).c_str()) << why;
    }
    EXPECT_EQ(fileBytes(path), before) << why;
}

} // namespace

namespace {

enum RefusalOutcome { Refused = 0, NotRefused, WrongMessage, FileChanged, CannotDropRights };

RefusalOutcome tryWriteThatMustBeRefused(const QString &path)
{
    const QByteArray before = fileBytes(path);
    try {
        TIniFile(path).WriteString("A", "keep", "2");
        return NotRefused;
    } catch (const EIniFileException &e) {
        if (e.message() != QStringLiteral("Unable to write to ") + path)
            return WrongMessage;
    }
    return fileBytes(path) == before ? Refused : FileChanged;
}

} // namespace

TEST_F(IniFileTest, WriteIntoAReadOnlyFolderRaisesUnableToWrite)
{
    // The folder must be reachable by an ordinary user: the superuser ignores permissions,
    // so under it the write is tried from a child process that gave up its rights.
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    QFile::setPermissions(temp.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                           QFile::ReadOther | QFile::ExeOther);
    const QString folder = temp.filePath(QStringLiteral("readonly"));
    const QString path = folder + QStringLiteral("/vokrin.ini");
    writeBytes(path, "[A]\nkeep=1\n");
    // The file itself stays writable for everyone: only the folder refuses.
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther |
                                    QFile::WriteOther);
    QFile::setPermissions(folder,
                          QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);

    RefusalOutcome outcome = CannotDropRights;
    if (geteuid() != 0) {
        outcome = tryWriteThatMustBeRefused(path);
    } else {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const uid_t nobody = 65534;
            if (setgid(nobody) != 0 || setuid(nobody) != 0)
                _exit(CannotDropRights);
            _exit(tryWriteThatMustBeRefused(path));
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        outcome = RefusalOutcome(WEXITSTATUS(status));
    }
    EXPECT_EQ(outcome, Refused) << "0 refused, 1 not refused, 2 wrong message, 3 file changed, "
                                   "4 could not drop rights";
    EXPECT_EQ(fileBytes(path), QByteArray("[A]\nkeep=1\n"));
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST_F(IniFileTest, OtherRefusedWritesRaiseUnableToWrite)
{
    const std::filesystem::path temp = vokrin::testing::makeTempDir("refused");
    const QString blockedFolder = QString::fromStdString((temp / "blocked").string());
    writeBytes(blockedFolder, "a file where the folder should be");
    const QString folderName = QString::fromStdString((temp / "dir.ini").string());
    QDir().mkpath(folderName);

    struct Case
    {
        const char *why;
        QString path;
    };
    const Case cases[] = {
        // Refused even to the superuser, so this runs everywhere.
        {"read-only folder of the system", QStringLiteral("/proc/self/vokrin.ini")},
        {"a file stands where the folder should be", blockedFolder + QStringLiteral("/v.ini")},
        {"the name is a folder", folderName},
    };
    for (const Case &c : cases)
        expectRefused(c.path, c.why);

    // A bare name reports the name as the caller gave it.
    writeBytes(settingsFolder(), "a file where the settings folder should be");
    try {
        TIniFile(QStringLiteral("vokrin.ini")).WriteBool("A", "b", true);
        ADD_FAILURE() << "the write was not refused";
    } catch (const EIniFileException &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Unable to write to vokrin.ini"));
    }
    QFile::remove(settingsFolder());
}

TEST_F(IniFileTest, FlagWritesShareTheFormStoragesEntriesAndLongValuesAreCut)
{
    // The form storage wrote its section under the executable's name.
    TIniFile formStorage(QStringLiteral("vokrin.INI"));
    formStorage.WriteString("TParamsForm", "rever_Enabled", "False");
    formStorage.WriteString("TParamsForm", "eq_Enabled", "True");
    formStorage.WriteString("TParamsForm", "CompRatio_Value", "12");
    formStorage.WriteString("TMainForm", "DirectoryEdit1_Text", QString(3000, u'x'));

    // The main window writes its four flags through the fixed lower-case name...
    TIniFile flags(QStringLiteral("vokrin.ini"));
    EXPECT_EQ(flags.ReadString("TParamsForm", "eq_enabled", "FALSE").toUpper(), "TRUE");
    for (const char *key : {"eq_enabled", "comp_enabled", "echo_enabled", "rever_enabled"})
        flags.WriteString("TParamsForm", key, "FALSE");

    // ...into the same entries: no second copy of a key, the form storage's spelling kept,
    // new keys at the end of the section, the other section untouched.
    const QByteArray bytes = [&] {
        QFile file(flags.FileName());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    EXPECT_EQ(bytes, "[TParamsForm]\nrever_Enabled=FALSE\neq_Enabled=FALSE\nCompRatio_Value=12\n"
                     "comp_enabled=FALSE\necho_enabled=FALSE\n\n[TMainForm]\nDirectoryEdit1_Text=" +
                         QByteArray(3000, 'x') + "\n");
    EXPECT_EQ(formStorage.ReadString("TMainForm", "DirectoryEdit1_Text", ""), QString(2047, u'x'));
    EXPECT_EQ(flags.ReadFloat("TParamsForm", "CompRatio_Value", 10.0), 12.0);
    EXPECT_EQ(flags.ReadFloat("TParamsForm", "CompThreshold_Value", -10.0), -10.0);
}

TEST_F(IniFileTest, ASettingsFolderThatCannotBeWrittenRaisesAndLeavesTheOldFileWhole)
{
    TIniFile ini(QStringLiteral("vokrin.ini"));
    ini.WriteString("TMainForm", "Volume_Value", "40");
    const QByteArray before = fileBytes(ini.FileName());
    {
        const vokrin::testing::ScopedReadOnlyFolder readOnly(settingsFolder());
        ASSERT_TRUE(readOnly.active()) << "the folder could not be made read-only";
        try {
            ini.WriteString("TMainForm", "Volume_Value", "70");
            ADD_FAILURE() << "the write was not refused";
        } catch (const EIniFileException &e) {
            EXPECT_EQ(e.message(), QStringLiteral("Unable to write to vokrin.ini"));
        }
    }
    EXPECT_EQ(fileBytes(ini.FileName()), before);
    // The program goes on: with the folder writable again the next write lands.
    ini.WriteString("TMainForm", "Volume_Value", "70");
    EXPECT_EQ(TIniFile(QStringLiteral("vokrin.ini")).ReadString("TMainForm", "Volume_Value", ""),
              "70");
}

TEST_F(IniFileTest, AWriteThatRunsOutOfSpaceRaisesAndLeavesTheOldFileWhole)
{
    TIniFile ini(QStringLiteral("vokrin.ini"));
    ini.WriteString("TMainForm", "Volume_Value", "40");
    const QByteArray before = fileBytes(ini.FileName());

    // A child whose files may not grow past 4 KiB, as on a full disk (also for the
    // superuser), writes a value twice that size.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit small{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &small);
        try {
            TIniFile(QStringLiteral("vokrin.ini"))
                .WriteString("TMainForm", "DirectoryEdit1_Text", QString(8000, u'x'));
            _exit(1);
        } catch (const EIniFileException &e) {
            _exit(e.message() == QStringLiteral("Unable to write to vokrin.ini") ? 0 : 2);
        }
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: the write was not refused, 2: wrong message";
    EXPECT_EQ(fileBytes(ini.FileName()), before);
    EXPECT_EQ(QDir(settingsFolder()).entryList(QDir::Files | QDir::Hidden),
              QStringList{"vokrin.ini"});
}
