#pragma once

#include <QByteArray>
#include <QList>
#include <QtGlobal>

namespace vokrin::content {

// A song project as its file holds it. Texts are the stored bytes (no terminating zero;
// decode them with text_codec.h for display); cue k belongs to line k by index, and the
// two counts need not match. A cue is the low 32 bits of a byte position in the decoded
// backing track.
struct SongProject
{
    // The backing-track name as stored: a full path, or a name that follows the
    // backing-track folder's text directly (see backing_track.h).
    QByteArray backingTrackName;
    QList<quint32> cues;
    QList<QByteArray> lines;

    friend bool operator==(const SongProject &, const SongProject &) = default;
};

} // namespace vokrin::content
