#include "platform/file_filter.h"

#include <gtest/gtest.h>

using vokrin::platform::qtNameFilters;
using vokrin::platform::withDefaultSuffix;

TEST(FileFilter, ClassicFiltersBecomeQtFiltersInBothLetterCases)
{
    struct Case {
        const char *classic;
        QStringList expected;
    };
    const Case cases[] = {
        {"Lyrano files|*.lyp", {"Lyrano files (*.lyp *.LYP)"}},
        {"Sound files|*.WAV;*.MP3",
         {"Sound files (*.WAV *.wav *.MP3 *.mp3)"}},
        {"Text|*.txt|All files|*.*", {"Text (*.txt *.TXT)", "All files (*)"}},
        {"", {}},
        {"Dangling description", {}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(qtNameFilters(QString::fromUtf8(c.classic)), c.expected) << c.classic;
}

TEST(FileFilter, DefaultSuffixOnlyWhenTheNameHasNone)
{
    EXPECT_EQ(withDefaultSuffix("/tmp/list", "lyl"), "/tmp/list.lyl");
    EXPECT_EQ(withDefaultSuffix("/tmp/list.txt", "lyl"), "/tmp/list.txt");
    EXPECT_EQ(withDefaultSuffix("/tmp/dir.v2/list", "lyl"), "/tmp/dir.v2/list.lyl");
    EXPECT_EQ(withDefaultSuffix("/tmp/list", ""), "/tmp/list");
    EXPECT_EQ(withDefaultSuffix("", "lyl"), "");
}
