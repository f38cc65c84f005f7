#pragma once

#include "content/song_project.h"
#include "demo_song.h"

#include <QString>

namespace vokrin::demo {

inline constexpr int kDemoRate = 44100;
inline constexpr int kDemoChannels = 2;

// The project for a backing track at `trackPath`: one cue per line at the byte position
// (16-bit frames of the decoded track) where its first note starts, lines in Windows-1251.
content::SongProject demoProject(const Song &song, const QString &trackPath);

// Writes demo.ogg, demo.txt, demo.lyp and demo.lyl into `folder` (created if needed).
void writeDemo(const QString &folder);

} // namespace vokrin::demo
