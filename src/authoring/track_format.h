#pragma once

#include "content/cue_time.h"

#include <QString>
#include <optional>

namespace vokrin::authoring {

// The rate, channel count and length in bytes of an audio file as the player opens it
// (a stream, else a music module), which is what a cue's byte position counts in. The
// engine must be initialised. nullopt when the engine opens the file neither way.
// The file is opened for decoding only and freed again: nothing plays and the player's
// own stream is not touched.
std::optional<content::TrackFormat> readTrackFormat(const QString &path);

} // namespace vokrin::authoring
