#pragma once

#include <string>
#include <vector>

namespace vokrin::demo {

// "Во поле берёза стояла", a Russian folk song in the public domain, as a melody of
// one note per syllable, in D minor at 90 quarter notes a minute.
struct Note
{
    int midi;    // MIDI note number; 0 is a rest
    int eighths; // length in eighth notes
};

struct SongLine
{
    std::string text; // UTF-8
    std::vector<Note> notes;
    std::vector<int> chords; // root of each 2/4 bar's chord (MIDI), minor unless noted
};

struct Song
{
    double eighthSeconds;
    int introEighths;
    int outroEighths;
    std::vector<SongLine> lines;
};

const Song &demoSong();

// Start of each line's first sung note, in seconds from the start of the track.
std::vector<double> lineStartSeconds(const Song &song);

// Length of the whole arrangement in seconds.
double songSeconds(const Song &song);

} // namespace vokrin::demo
