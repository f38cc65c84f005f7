#pragma once

#include "content/timed_text.h"

#include <QByteArrayView>
#include <optional>

// UltraStar songs (.txt): "#KEY:value" headers, then one note per line.
//  - Notes: ": start length pitch text" (also "*" golden, "F" freestyle, "R" rap, "G"
//    golden rap); a line's text is its notes' texts one after the other.
//  - "- start" ends a line; "E" ends the song.
//  - A line becomes current at its first note's start: #GAP milliseconds plus
//    beats × 60000 / (#BPM × 4). #BPM may use a decimal comma ("#BPM:272,5").
//  - "#RELATIVE:YES": note starts count from the start of their line, and a line break
//    "- a b" moves that start on by b beats (by a when b is not given).
//  - A duet ("P1" ... "P2" ...) gives the first singer's part.
namespace vokrin::content {

TimedText readUltraStar(QByteArrayView bytes);

// A header number: an optional sign, digits, and a fraction after '.' or ','.
std::optional<double> parseUltraStarNumber(QStringView text);

} // namespace vokrin::content
