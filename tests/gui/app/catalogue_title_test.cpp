#include "app/catalogue_title.h"

#include <gtest/gtest.h>

namespace {

using vokrin::app::catalogueCaption;
using vokrin::app::fileNamePart;
using vokrin::app::id3v1Title;

QByteArray block(const QByteArray &title, const QByteArray &artist = "Artist")
{
    QByteArray bytes = "TAG" + title.left(30);
    bytes.append(QByteArray(33 - bytes.size(), '\0'));
    bytes.append(artist.leftJustified(30, '\0'));
    bytes.append(QByteArray(128 - bytes.size(), '\0'));
    return bytes;
}

TEST(CatalogueTitle, FileNamePartFollowsTheLastSeparatorOfAnyKind)
{
    const std::pair<QByteArray, QByteArray> cases[] = {{"/music/a.mp3", "a.mp3"},
                                                       {"C:\\Songs\\b.mp3", "b.mp3"},
                                                       {"D:c.mp3", "c.mp3"},
                                                       {"plain.wav", "plain.wav"},
                                                       {"/dir/", ""},
                                                       {"Part 1: Intro", " Intro"},
                                                       {"a\\b/c:d", "d"},
                                                       {"", ""}};
    for (const auto &[text, part] : cases)
        EXPECT_EQ(fileNamePart(text), part) << text.constData();
}

TEST(CatalogueTitle, TheTitleFieldIsTrimmedAndNeverRunsIntoTheArtist)
{
    EXPECT_EQ(id3v1Title(nullptr), "");
    EXPECT_EQ(id3v1Title(block("").constData()), "");
    EXPECT_EQ(id3v1Title(block("   \t ").constData()), "");
    EXPECT_EQ(id3v1Title(block("  Song  ").constData()), "Song");
    const QByteArray full = "ABCDEFGHIJKLMNOPQRSTUVWXYZ1234";
    EXPECT_EQ(id3v1Title(block(full).constData()), full);
    // Cyrillic bytes are above 32 and stay.
    EXPECT_EQ(id3v1Title(block("\xcf\xe5\xf1\xed\xff ").constData()), "\xcf\xe5\xf1\xed\xff");
    // A block with no zero byte at all is read only to its 128th byte.
    const QByteArray noZero = "TAG" + QByteArray(125, 'x');
    EXPECT_EQ(id3v1Title(noZero.constData()), QByteArray(30, 'x'));
}

TEST(CatalogueTitle, TheCaptionFallsBackToTheTrackFileName)
{
    EXPECT_EQ(catalogueCaption(nullptr, "/songs/a.mp3"), "a.mp3");
    EXPECT_EQ(catalogueCaption(block("  ").constData(), "/songs/a.mp3"), "a.mp3");
    EXPECT_EQ(catalogueCaption(block("Part 1: Intro").constData(), "/songs/a.mp3"), " Intro");
    EXPECT_EQ(catalogueCaption(block("AC\\DC").constData(), "/songs/a.mp3"), "DC");
}

} // namespace
