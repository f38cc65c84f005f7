#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

// The rules of the wizard that do not need a window: the proposed project name, the
// play-time caption and the cue marks of a take.
namespace vokrin::authoring {

// `path` with its extension replaced by "." + `extension`: the extension is the part
// from the last '.' of the file name (what follows the last '/', '\' or ':'); a name
// without one gets the new extension appended. "" gives ".lyp".
QString replaceExtension(const QString &path, const QString &extension);

// "nn:ss" of a time of day given as a fraction of a day (minutes and seconds, two digits
// each; hours are not shown). A negative or non-finite time reads as 00:00.
QString minutesSecondsText(double dayFraction);

// The caption of the play-time label for that time.
QString playTimeCaption(double dayFraction);
inline constexpr const char16_t *kPlayTimePrefix = u"Время вопроизведения: ";

// The marks of one take: cue k, recorded at the moment line k should become current.
struct CueMarks
{
    std::vector<std::uint32_t> cues;
    // The line that the last mark selected; -1 before the first mark of a take.
    int pointer = -1;
};

// One tap of the mark button. `selectedLine` is the line list's selection (-1 for none;
// the user may have clicked a line), `lineCount` the number of lines in the list.
// Refused (nullopt, nothing recorded) when the selection is at or past the last line,
// or when the line after the pointer is not in the list: a mark that selects no line
// would be a cue without a line the user could see. Otherwise the low 32 bits of
// `position` are appended, the pointer moves on one line, and that line is returned
// for selecting.
std::optional<int> placeMark(CueMarks &marks, int selectedLine, int lineCount,
                             std::uint64_t position);

} // namespace vokrin::authoring
