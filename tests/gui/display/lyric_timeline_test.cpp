#include "display/lyric_timeline.h"

#include <gtest/gtest.h>

using namespace vokrin::display;

TEST(LyricTimeline, ProgressIsTruncatedPercentAndSafeForZeroLength)
{
    EXPECT_EQ(progressPercent(1, 3), 33);
    EXPECT_EQ(progressPercent(2, 3), 66);
    EXPECT_EQ(progressPercent(0, 1000), 0);
    EXPECT_EQ(progressPercent(1000, 1000), 100);
    EXPECT_EQ(progressPercent(500, 0), 0);
    EXPECT_EQ(progressPercent(6'000'000'000ULL, 12'000'000'000ULL), 50) << "past 32 bits";
}

TEST(LyricTimeline, CueIsReachedAtCueMinusLeadTimeWithoutWrapping)
{
    const QList<quint32> cues{1000, 500, 0xFFFFFFF0u};
    struct Case
    {
        int index;
        int lead;
        std::uint64_t position;
        bool reached;
    };
    const Case cases[] = {
        {0, 0, 999, false},
        {0, 0, 1000, true},
        {0, 1, 999, true},
        {1, 999, 0, true}, // a cue below the lead time is due at once
        {2, 0, 0xFFFFFFEFull, false},
        {2, 0, 0xFFFFFFF0ull, true}, // widened without sign
        {3, 0, 1'000'000, false},
        {-1, 0, 1'000'000, false}, // no such cue
    };
    for (const Case &c : cases)
        EXPECT_EQ(cueReached(cues, c.index, c.lead, c.position), c.reached)
            << "cue " << c.index << " lead " << c.lead << " at " << c.position;
    EXPECT_FALSE(cueReached({}, 0, 0, 1'000'000)) << "a project without cues never highlights";
}

TEST(LyricTimeline, ScrollPendingBandIsTheLastTenLineHeights)
{
    // 550-px list: the band starts at 550 - 270 = 280.
    EXPECT_FALSE(selectedLineSetsScrollPending(false, 10 * 27, 550)) << "row 10 ends at 270";
    EXPECT_TRUE(selectedLineSetsScrollPending(false, 11 * 27, 550)) << "row 11 ends at 297";
    EXPECT_TRUE(selectedLineSetsScrollPending(false, 280, 550));
    EXPECT_FALSE(selectedLineSetsScrollPending(true, 11 * 27, 550)) << "only set, never re-set";
}
