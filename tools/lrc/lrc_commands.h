#pragma once

#include <QString>
#include <optional>

// The two commands of vokrin-lrc. Each returns nothing on success, or the reason it
// failed in plain English; nothing is written then. The engine must be initialised.
namespace vokrin::lrctool {

// The project's cues as a line-timed LRC in UTF-8, each line at its cue's time on the
// backing track, with the track's length and the writer in its header. The backing
// track is the stored name as it is when that file exists, else `folder` followed by
// the name (as the catalogue's backing-track folder), else the name beside the project.
// `out` empty writes the LRC to standard output.
std::optional<QString> exportLrc(const QString &projectPath, const QString &out,
                                 const QString &folder);

// A song project from an LRC or UltraStar text and an audio file, as the wizard saves
// one: the audio file's full path as backing track, the text's lines in its own
// encoding, and one cue per line at its time on the track. Replaces `projectPath`
// atomically.
std::optional<QString> importSong(const QString &songPath, const QString &audioPath,
                                  const QString &projectPath);

} // namespace vokrin::lrctool
