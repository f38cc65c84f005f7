// The main window's writes on a full disk and into folders that cannot be written: the
// handler ends with the writer's error (which the program's reporter shows), the old file
// keeps its bytes, the window keeps its state, and the next try after the fault works.
#include "main_form_fixture.h"

#include "content/file_error.h"
#include "controls/led.h"
#include "effects/effect_values.h"
#include "settings/ini_file.h"
#include "write_faults.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTreeWidget>
#include <optional>

namespace {

using vokrin::content::ContentFileError;
using vokrin::settings::EIniFileException;
using vokrin::testing::ScopedFileSizeLimit;
using vokrin::testing::ScopedReadOnlyFolder;

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A full disk (files may not grow past a few bytes) or a read-only folder, for the
// lifetime of the object.
class Fault
{
public:
    Fault(bool fullDisk, const QString &folder)
    {
        if (fullDisk)
            m_fullDisk.emplace(16);
        else
            m_readOnly.emplace(folder);
    }
    bool active() const { return m_fullDisk.has_value() || m_readOnly->active(); }

private:
    std::optional<ScopedFileSizeLimit> m_fullDisk;
    std::optional<ScopedReadOnlyFolder> m_readOnly;
};

class MainFormWriteFaultTest : public MainFormTest, public ::testing::WithParamInterface<bool>
{
};

TEST_P(MainFormWriteFaultTest, SavingTheListFailsWholeAndTheCatalogueStays)
{
    const QString a = makeSong("a");
    form->AddProject(a);
    form->AddProject(makeSong("b"));
    const QString list = path("songs.lyl");
    desktop->saveFileAnswers.push_back(list);
    form->SpeedButton7Click();
    const QByteArray before = fileBytes(list);
    ASSERT_FALSE(before.isEmpty());
    form->AddProject(makeSong("c"));
    {
        const Fault fault(GetParam(), QString::fromStdString(dir.string()));
        ASSERT_TRUE(fault.active()) << "the fault could not be made here";
        desktop->saveFileAnswers.push_back(list);
        try {
            form->SpeedButton7Click();
            ADD_FAILURE() << "the write was not refused";
        } catch (const ContentFileError &error) {
            EXPECT_EQ(error.path(), list);
        }
    }
    EXPECT_EQ(fileBytes(list), before);
    EXPECT_EQ(QDir(QString::fromStdString(dir.string()))
                  .entryList({QStringLiteral("*songs*")}, QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("songs.lyl")})
        << "a temporary file was left behind";
    EXPECT_EQ(catalogueColumn(1).size(), 3);
    // The window goes on: the same save works once there is room.
    desktop->saveFileAnswers.push_back(list);
    form->SpeedButton7Click();
    EXPECT_EQ(fileBytes(list).count('\n'), 3);
}

TEST_P(MainFormWriteFaultTest, AnEffectFlagThatCannotBeStoredRaisesUnableToWrite)
{
    const QString settingsFile =
        vokrin::settings::resolveSettingsFile(vokrin::effects::kSettingsFile);
    form->eqClick();
    const QByteArray before = fileBytes(settingsFile);
    ASSERT_FALSE(before.isEmpty());
    const bool litBefore = form->eq->isLit();
    {
        const Fault fault(GetParam(), QFileInfo(settingsFile).absolutePath());
        ASSERT_TRUE(fault.active()) << "the fault could not be made here";
        try {
            form->eqClick();
            ADD_FAILURE() << "the write was not refused";
        } catch (const EIniFileException &error) {
            EXPECT_EQ(error.message(), QStringLiteral("Unable to write to vokrin.ini"));
        }
    }
    EXPECT_EQ(fileBytes(settingsFile), before);
    // The toggle itself happened before the write; the next one is stored again.
    EXPECT_NE(form->eq->isLit(), litBefore);
    form->eqClick();
    EXPECT_EQ(form->eq->isLit(), litBefore);
    EXPECT_NE(fileBytes(settingsFile), QByteArray());
}

INSTANTIATE_TEST_SUITE_P(Faults, MainFormWriteFaultTest, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool> &fault) {
                             return fault.param ? "FullDisk" : "ReadOnlyFolder";
                         });

} // namespace
