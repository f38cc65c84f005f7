#include "platform/file_filter.h"

#include <gtest/gtest.h>

using vokrin::platform::qtNameFilters;
using vokrin::platform::withDefaultSuffix;

TEST(FileFilter, ClassicFiltersBecomeQtFiltersInBothLetterCases)
{
    struct Case
    {
        const char *classic;
        QStringList expected;
    };
    const Case cases[] = {
        {"Lyrano files|*.lyp", {"Lyrano files (*.lyp *.LYP)"}},
        {"Sound files|*.WAV;*.MP3", {"Sound files (*.WAV *.wav *.MP3 *.mp3)"}},
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

#include "platform/help_window.h"

#include <QFile>

TEST(HelpManual, ShippedBesideTheProgramWithTheContentsAnchor)
{
    const QString manual = vokrin::platform::findManual(QStringLiteral("vokrin.hlp"));
    ASSERT_FALSE(manual.isEmpty()) << "help/vokrin.html beside the test programs";
    QFile file(manual);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(html.contains(QStringLiteral("id=\"%1\"").arg(vokrin::platform::helpAnchor(0))));
    EXPECT_TRUE(html.contains(QStringLiteral("Мастер создания фонограммы")));
}
