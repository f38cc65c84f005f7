#pragma once
// A wizard on the main window's player, with the engine on its manual clock (device 0),
// scripted dialogs and message boxes, and a generated backing track.

#include "audio/bass.h"
#include "audio/engine/engine_config.h"
#include "audio/player.h"
#include "authoring/filename_edit.h"
#include "authoring/new_kar.h"
#include "authoring/page_control.h"
#include "content/project_file.h"
#include "controls/rx_label.h"
#include "fixture_writers.h"
#include "platform/scripted_platform.h"
#include "test_env.h"

#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace vokrin::authoring::testing {

// The backing track: 20 s of 16-bit stereo silence at 44100 Hz, 4 bytes a frame.
inline constexpr int kRate = 44100;
inline constexpr std::uint32_t kBytesPerFrame = 4;

class WizardTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        engine::setManualClock(true);
        ASSERT_TRUE(BASS_Init(0, kRate, 0, nullptr, nullptr)) << BASS_ErrorGetCode();
        dir = vokrin::testing::makeTempDir("wizard");
        audioPath = pathIn("track.wav");
        ASSERT_TRUE(fixtures::writeWav(dir / "track.wav", fixtures::silence(kRate, 2, 20)));
        player.setHooks({nullptr, [this] { ++unplayableReports; }, nullptr});
        wizard = std::make_unique<TFormNewKar>(
            player, TFormNewKar::Hooks{[this](const QString &path) { addedProjects << path; },
                                       [this] { ++progressResets; }});
        wizard->show();
    }

    void TearDown() override
    {
        wizard.reset();
        BASS_Free();
    }

    QString pathIn(const char *name) const { return QString::fromStdString((dir / name).string()); }

    QString writeText(const char *name, const QByteArray &bytes) const
    {
        const QString path = pathIn(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    // Chooses the text file through the text box's dialog.
    void loadText(const QByteArray &bytes)
    {
        desktop.openFileAnswers.push_back(writeText("song.txt", bytes));
        wizard->FilenameEdit2->runDialog();
    }

    // Page 1 with the backing track chosen, page 2 with `text` loaded, then page 3.
    void prepareTake(const QByteArray &text)
    {
        desktop.openFileAnswers.push_back(audioPath);
        wizard->FilenameEdit1->runDialog();
        wizard->BitBtn1->click();
        loadText(text);
        wizard->BitBtn2->click();
        ASSERT_EQ(wizard->PageControl1->currentIndex(), TFormNewKar::TabSheet3);
    }

    static void advance(int frames) { ASSERT_TRUE(engine::advanceManualClock(frames)); }
    QWORD position() const { return player.GetPosition(); }
    DWORD streamState() const { return BASS_ChannelIsActive(player.stream()); }
    int selectedLine() const
    {
        const QList<QListWidgetItem *> items = wizard->ListBox1->selectedItems();
        return items.isEmpty() ? -1 : wizard->ListBox1->row(items.first());
    }
    // Taps the mark button `count` times, `framesApart` frames of playback before each.
    void tapMarks(int count, int framesApart)
    {
        for (int i = 0; i < count; ++i) {
            advance(framesApart);
            wizard->SpeedButton3->click();
        }
    }
    content::SongProject readProject(const QString &path) const
    {
        const content::ProjectReadResult result = content::readProjectFile(path);
        EXPECT_FALSE(result.truncated);
        return result.project;
    }

    platform::ScriptedPlatform desktop;
    std::filesystem::path dir;
    QString audioPath;
    audio::Player player;
    std::unique_ptr<TFormNewKar> wizard;
    QStringList addedProjects;
    int progressResets = 0;
    int unplayableReports = 0;
};

} // namespace vokrin::authoring::testing
