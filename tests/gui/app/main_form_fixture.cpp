#include "main_form_fixture.h"

#include "audio/engine/engine_config.h"
#include "content/project_file.h"
#include "effects/effect_values.h"
#include "fixture_writers.h"
#include "settings/ini_file.h"
#include "test_env.h"

#include <QFile>
#include <QTreeWidget>

void MainFormTest::SetUp()
{
    QFile::remove(vokrin::settings::resolveSettingsFile(vokrin::effects::kSettingsFile));
    dir = vokrin::testing::makeTempDir("mainform");
    desktop = std::make_unique<vokrin::platform::ScriptedPlatform>();
    vokrin::engine::setManualClock(true);
    form = std::make_unique<vokrin::app::TMainForm>();
    form->OutputDevice = 0;
    ASSERT_TRUE(form->FormCreate());
}

void MainFormTest::TearDown()
{
    form.reset();
    desktop.reset();
}

QString MainFormTest::path(const std::string &name) const
{
    return QString::fromStdString((dir / name).string());
}

QString MainFormTest::makeTrack(const std::string &name, double seconds, int rate, int channels)
{
    const auto target = dir / name;
    EXPECT_TRUE(vokrin::fixtures::writeWav(
        target, vokrin::fixtures::sine(rate, channels, seconds, 440, 0.5)));
    return QString::fromStdString(target.string());
}

QString MainFormTest::makeProject(const std::string &name, const QByteArray &backingTrackName,
                                  const std::vector<quint32> &cues,
                                  const std::vector<QByteArray> &lines)
{
    vokrin::content::SongProject project;
    project.backingTrackName = backingTrackName;
    project.cues = QList<quint32>(cues.begin(), cues.end());
    project.lines = QList<QByteArray>(lines.begin(), lines.end());
    vokrin::content::writeProjectFile(path(name), project);
    return path(name);
}

QString MainFormTest::makeSong(const std::string &name, double seconds)
{
    const QString track = makeTrack(name + ".wav", seconds);
    return makeProject(name + ".lyp", QFile::encodeName(track));
}

void MainFormTest::advance(int frames)
{
    ASSERT_TRUE(vokrin::engine::advanceManualClock(frames));
}

int MainFormTest::selectedRow() const
{
    const auto selected = form->ListView1->selectedItems();
    return selected.isEmpty() ? -1 : form->ListView1->indexOfTopLevelItem(selected.front());
}

QStringList MainFormTest::catalogueColumn(int column) const
{
    QStringList texts;
    for (int row = 0; row < form->ListView1->topLevelItemCount(); ++row)
        texts.append(form->ListView1->topLevelItem(row)->text(column));
    return texts;
}
