#include "demo_song.h"

namespace vokrin::demo {
namespace {

constexpr int D4 = 62, E4 = 64, F4 = 65, G4 = 67, A4 = 69, R = 0;
constexpr int kDm = 50, kC = 48, kGm = 55, kA = 57; // chord roots an octave down

int lineEighths(const SongLine &line)
{
    int total = 0;
    for (const Note &note : line.notes)
        total += note.eighths;
    return total;
}

} // namespace

const Song &demoSong()
{
    static const Song song{
        1.0 / 3.0, // 90 quarters a minute
        8,         // two bars of introduction
        8,
        {
            {"Во поле берёза стояла,",
             {{A4, 1},
              {A4, 1},
              {A4, 1},
              {A4, 1},
              {G4, 1},
              {F4, 1},
              {F4, 1},
              {E4, 1},
              {D4, 2},
              {R, 2}},
             {kDm, kC, kDm}},
            {"Во поле кудрявая стояла,",
             {{A4, 1},
              {A4, 1},
              {A4, 1},
              {A4, 1},
              {G4, 1},
              {F4, 1},
              {F4, 1},
              {F4, 1},
              {E4, 1},
              {D4, 2},
              {R, 1}},
             {kDm, kC, kDm}},
            {"Люли, люли, стояла,",
             {{G4, 1}, {F4, 1}, {E4, 1}, {D4, 1}, {E4, 1}, {F4, 1}, {D4, 2}, {R, 4}},
             {kGm, kA, kDm}},
            {"Люли, люли, стояла.",
             {{A4, 1}, {G4, 1}, {F4, 1}, {E4, 1}, {F4, 1}, {E4, 1}, {D4, 2}, {R, 4}},
             {kDm, kA, kDm}},
            {"Никто берёзу не заломает,",
             {{A4, 1},
              {A4, 1},
              {A4, 1},
              {A4, 1},
              {G4, 1},
              {F4, 1},
              {F4, 1},
              {F4, 1},
              {E4, 1},
              {D4, 2},
              {R, 1}},
             {kDm, kC, kDm}},
            {"Никто кудряву не заломает,",
             {{A4, 1},
              {A4, 1},
              {A4, 1},
              {A4, 1},
              {G4, 1},
              {F4, 1},
              {F4, 1},
              {F4, 1},
              {E4, 1},
              {D4, 2},
              {R, 1}},
             {kDm, kC, kDm}},
            {"Люли, люли, заломает,",
             {{G4, 1}, {F4, 1}, {E4, 1}, {D4, 1}, {E4, 1}, {F4, 1}, {E4, 1}, {D4, 2}, {R, 3}},
             {kGm, kA, kDm}},
            {"Люли, люли, заломает.",
             {{A4, 1}, {G4, 1}, {F4, 1}, {E4, 1}, {F4, 1}, {E4, 1}, {E4, 1}, {D4, 2}, {R, 3}},
             {kDm, kA, kDm}},
        }};
    return song;
}

std::vector<double> lineStartSeconds(const Song &song)
{
    std::vector<double> starts;
    int eighth = song.introEighths;
    for (const SongLine &line : song.lines) {
        starts.push_back(eighth * song.eighthSeconds);
        eighth += lineEighths(line);
    }
    return starts;
}

double songSeconds(const Song &song)
{
    int eighths = song.introEighths + song.outroEighths;
    for (const SongLine &line : song.lines)
        eighths += lineEighths(line);
    return eighths * song.eighthSeconds;
}

} // namespace vokrin::demo
