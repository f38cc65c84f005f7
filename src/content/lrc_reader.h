#pragma once

#include "content/timed_text.h"

#include <QByteArrayView>
#include <optional>

// LRC song texts: "[mm:ss.xx]line" with centiseconds or "[mm:ss.xxx]" with milliseconds.
//  - Several time tags before one text give that text once for each time.
//  - "[offset:+250]" moves every time: a positive offset shows the lines earlier.
//  - Metadata tags (ti, ar, al, by, length, re, ve and any other "[name:value]") are no
//    part of the text.
//  - Word times of enhanced LRC ("<mm:ss.xx>") are dropped: the line keeps its own time.
//  - Lines without a time tag are left out; the rest are sorted by time.
//  - A tag that starts with a digit but is not a time ("[1:5x.00]", "[00:75.00]") is an
//    error naming its line.
namespace vokrin::content {

TimedText readLrc(QByteArrayView bytes);

// The milliseconds of a time tag's inside ("01:02.5", "01:02.50", "01:02.500", "01:02"),
// or nullopt when it is not one. Minutes may have more than two digits; seconds are two
// digits below 60.
std::optional<qint64> parseLrcTime(QStringView text);

} // namespace vokrin::content
