#pragma once

#include "content/timed_text.h"

#include <QString>

// The wizard's Russian messages about a song text with times (LRC, UltraStar).
namespace vokrin::authoring {

inline constexpr const char16_t *kTimedTextCaption = u"Файл текста";

// Why the text file was not loaded.
QString timedTextErrorMessage(content::TimedTextError error, int errorLine);

// Why the times of the loaded text did not become marks: no audio file, an audio file
// that does not open, or a line (0-based `line`, starting at `ms`) past the track's end.
QString noAudioForTimesMessage();
QString unplayableAudioForTimesMessage();
QString lineAfterTrackEndMessage(qsizetype line, qint64 ms);

} // namespace vokrin::authoring
