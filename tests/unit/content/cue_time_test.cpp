#include "content/cue_time.h"

#include <gtest/gtest.h>
#include <limits>

using vokrin::content::cueForMs;
using vokrin::content::cuesForLines;
using vokrin::content::msForCue;
using vokrin::content::TrackFormat;

TEST(CueTime, TimesBecomeWholeFramesOfTheTrack)
{
    const TrackFormat stereo{44100, 2, 0};
    const TrackFormat mono{22050, 1, 0};
    const TrackFormat six{48000, 6, 0};
    EXPECT_EQ(cueForMs(0, stereo), 0u);
    EXPECT_EQ(cueForMs(1000, stereo), 176400u);
    EXPECT_EQ(cueForMs(1000, mono), 44100u);
    EXPECT_EQ(cueForMs(10, mono), 442u);   // 220.5 frames round to 221
    EXPECT_EQ(cueForMs(1, stereo), 176u);  // 44.1 frames: 44 frames of 4 bytes
    EXPECT_EQ(cueForMs(1, six), 48u * 12); // frames of 12 bytes
    for (qint64 ms : {0, 1, 7, 999, 12345, 3599999}) {
        for (const TrackFormat &format : {stereo, mono, six}) {
            const auto cue = cueForMs(ms, format);
            ASSERT_TRUE(cue);
            EXPECT_EQ(*cue % format.frameBytes(), 0u) << ms;
            EXPECT_NEAR(msForCue(*cue, format), ms, 1) << ms;
        }
    }
    EXPECT_FALSE(cueForMs(-1, stereo));
    EXPECT_FALSE(cueForMs(1000, TrackFormat{0, 2, 0}));
    EXPECT_FALSE(cueForMs(1000, TrackFormat{44100, 0, 0}));
    // A cue holds 32 bits: about 6 h 45 min of 44.1 kHz stereo.
    EXPECT_TRUE(cueForMs(qint64(6) * 3600000, stereo));
    EXPECT_FALSE(cueForMs(qint64(7) * 3600000, stereo));
    EXPECT_FALSE(cueForMs(std::numeric_limits<qint64>::max(), stereo));
    // A cue inside a frame counts from the frame's start.
    EXPECT_EQ(msForCue(176403, stereo), 1000);
    EXPECT_EQ(msForCue(1, TrackFormat{}), -1);
}

TEST(CueTime, LinesPastTheTrackGiveNoCues)
{
    const TrackFormat track{44100, 2, 176400 * 10}; // ten seconds
    const auto inside = cuesForLines({{0, "a"}, {5000, "b"}, {10000, "end"}}, track);
    ASSERT_TRUE(inside.ok());
    EXPECT_EQ(inside.cues, (QList<quint32>{0, 882000, 1764000}));

    const auto past = cuesForLines({{0, "a"}, {10001, "b"}, {3000, "c"}}, track);
    EXPECT_FALSE(past.ok());
    EXPECT_EQ(past.badLine, 1);
    EXPECT_TRUE(past.cues.isEmpty());

    // A length the engine does not know lets every line that fits a cue through.
    const auto unknown = cuesForLines({{3600000, "late"}}, TrackFormat{44100, 2, 0});
    EXPECT_TRUE(unknown.ok());
}
