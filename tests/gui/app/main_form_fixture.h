#pragma once

#include "app/main_form.h"
#include "platform/scripted_platform.h"

#include <QByteArray>
#include <QString>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

// A main window on the engine's device 0 with the manual clock, scripted dialogs and
// message boxes, and generated tracks and projects in a fresh folder.
class MainFormTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // A 44.1 kHz stereo sine track of `seconds` (mono at `rate` when given).
    QString makeTrack(const std::string &name, double seconds = 2.0, int rate = 44100,
                      int channels = 2);
    // A project file naming `backingTrackName` as stored, with cues and lines.
    QString makeProject(const std::string &name, const QByteArray &backingTrackName,
                        const std::vector<quint32> &cues = {1000, 50000},
                        const std::vector<QByteArray> &lines = {"one", "two"});
    // A track and a project naming it by its full path.
    QString makeSong(const std::string &name, double seconds = 2.0);
    QString path(const std::string &name) const;

    // Advances playback by `frames` frames of the 44.1 kHz device.
    static void advance(int frames);
    DWORD state() { return BASS_ChannelIsActive(form->Stream()); }
    int selectedRow() const;
    QStringList catalogueColumn(int column) const;

    std::unique_ptr<vokrin::platform::ScriptedPlatform> desktop;
    std::unique_ptr<vokrin::app::TMainForm> form;
    std::filesystem::path dir;
};
