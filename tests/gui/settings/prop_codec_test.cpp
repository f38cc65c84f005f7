#include "settings/prop_codec.h"
#include "test_widgets.h"

#include <QApplication>
#include <gtest/gtest.h>

using namespace vokrin::settings;

namespace {

TEST(PropCodecText, TrimStripsBlanksAndControlCharactersAtBothEndsOnly)
{
    const struct
    {
        QString in;
        QString out;
    } cases[] = {
        {"", ""},
        {"   ", ""},
        {"  C:/Music  ", "C:/Music"},
        {"\t/a b/\r", "/a b/"},
        {"a  b", "a  b"},
        {QString::fromUtf8("\u00a0x"), QString::fromUtf8("\u00a0x")}, // only <= ' ' counts
    };
    for (const auto &c : cases)
        EXPECT_EQ(trimBlanks(c.in), c.out) << c.in.toStdString();
}

TEST(PropCodecText, ValueEnclosedInOneKindOfQuoteGetsAnExtraPairOfDoubleQuotes)
{
    const struct
    {
        QString in;
        QString out;
    } cases[] = {
        {"plain", "plain"},
        {"\"quoted\"", "\"\"quoted\"\""},
        {"'single'", "\"'single'\""},
        {"\"mixed'", "\"mixed'"},
        {"\"starts only", "\"starts only"},
        {"ends only\"", "ends only\""},
        {"\"", "\"\"\""},
        {"", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(quoteForWriting(c.in), c.out) << c.in.toStdString();
}

TEST(PropCodecNumbers, WholeNumbersAreSignedDecimalWithin32Bits)
{
    const struct
    {
        QString in;
        std::optional<std::int32_t> out;
    } cases[] = {
        {"0", 0},
        {"150", 150},
        {"-24", -24},
        {"+7", 7},
        {"16777215", 16777215},
        {"-16777208", -16777208},
        {"2147483647", 2147483647},
        {"-2147483648", std::numeric_limits<std::int32_t>::min()},
        {"2147483648", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"abc", std::nullopt},
        {"", std::nullopt},
        {"-", std::nullopt},
        {"12abc", std::nullopt},
        {"1.5", std::nullopt},
        {"0x10", std::nullopt},
        {" 5", std::nullopt}, // callers trim first
    };
    for (const auto &c : cases)
        EXPECT_EQ(parseWholeNumber(c.in), c.out) << c.in.toStdString();
}

TEST(PropCodecBool, TrueAndFalseInAnyCaseOtherTextIsNotABoolean)
{
    EXPECT_EQ(encodeBool(true), "True");
    EXPECT_EQ(encodeBool(false), "False");
    const struct
    {
        QString in;
        std::optional<bool> out;
    } cases[] = {
        {"True", true},   {"TRUE", true},      {"true", true},        {"False", false},
        {"FALSE", false}, {"1", std::nullopt}, {"yes", std::nullopt}, {"", std::nullopt},
    };
    for (const auto &c : cases)
        EXPECT_EQ(decodeBool(c.in), c.out) << c.in.toStdString();
}

TEST(PropCodecEnum, IdentifiersBothWaysWithoutRegardToCase)
{
    const QMetaEnum pitch = QMetaEnum::fromType<settings_test::Shaped::Pitch>();
    EXPECT_EQ(encodeEnum(pitch, settings_test::Shaped::fpFixed), "fpFixed");
    EXPECT_EQ(encodeEnum(pitch, 42), "");
    EXPECT_EQ(decodeEnum(pitch, "FPVARIABLE"), settings_test::Shaped::fpVariable);
    EXPECT_EQ(decodeEnum(pitch, "fpDefault"), settings_test::Shaped::fpDefault);
    EXPECT_EQ(decodeEnum(pitch, "fpWide"), std::nullopt);
    EXPECT_EQ(decodeEnum(pitch, ""), std::nullopt);
}

TEST(PropCodecSet, MembersInBracketsUnknownWordsSkipped)
{
    using S = settings_test::Shaped;
    const QMetaEnum styles = QMetaEnum::fromType<S::Styles>();
    EXPECT_EQ(encodeSet(styles, 0), "[]");
    EXPECT_EQ(encodeSet(styles, S::fsBold), "[fsBold]");
    EXPECT_EQ(encodeSet(styles, S::fsStrikeOut | S::fsBold), "[fsBold,fsStrikeOut]");
    const struct
    {
        QString in;
        int out;
    } cases[] = {
        {"[fsBold]", S::fsBold},
        {"[fsBold,fsItalic]", S::fsBold | S::fsItalic},
        {"[ fsitalic , FSUNDERLINE ]", S::fsItalic | S::fsUnderline},
        {"fsBold fsStrikeOut", S::fsBold | S::fsStrikeOut},
        {"[fsBold,fsShadow]", S::fsBold},
        {"[]", 0},
        {"", 0},
        {"[[,,]]", 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(decodeSet(styles, c.in), c.out) << c.in.toStdString();
}

TEST(PropCodecColour, RgbIsStoredAsBgrAndSystemColoursComeFromThePalette)
{
    EXPECT_EQ(colorToBgr(QColor(255, 255, 255)), 16777215);
    EXPECT_EQ(colorToBgr(QColor(216, 218, 226)), 14867160);
    EXPECT_EQ(colorToBgr(QColor(255, 0, 0)), 0xFF);
    EXPECT_EQ(colorToBgr(QColor(0, 0, 255)), 0xFF0000);

    QPalette palette;
    palette.setColor(QPalette::Active, QPalette::Text, QColor(1, 2, 3));
    palette.setColor(QPalette::Active, QPalette::Button, QColor(4, 5, 6));
    EXPECT_EQ(bgrToColor(14867160, palette), QColor(216, 218, 226));
    EXPECT_EQ(bgrToColor(0, palette), QColor(0, 0, 0));
    EXPECT_EQ(bgrToColor(-16777208, palette), QColor(1, 2, 3)); // window text
    EXPECT_EQ(bgrToColor(static_cast<std::int32_t>(0xFF00000F), palette), QColor(4, 5, 6));
    EXPECT_EQ(bgrToColor(static_cast<std::int32_t>(0xFF000063), palette), std::nullopt);
}

StoredFont lyricFont()
{
    StoredFont stored;
    stored.font = QFont(QStringLiteral("Courier New"));
    stored.font.setPixelSize(24);
    stored.font.setBold(true);
    stored.color = 16777215;
    stored.charset = 1;
    return stored;
}

TEST(PropCodecFont, SubPropertiesOfTheLyricFontAt96And120PixelsPerInch)
{
    const StoredFont stored = lyricFont();
    const struct
    {
        int ppi;
        const char *field;
        const char *text;
    } cases[] = {
        {96, "Charset", "1"},        {96, "Color", "16777215"},  {96, "Height", "-24"},
        {96, "Name", "Courier New"}, {96, "Pitch", "fpDefault"}, {96, "Size", "18"},
        {96, "Style", "[fsBold]"},   {120, "Height", "-24"},     {120, "Size", "14"},
        {72, "Size", "24"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(encodeFontField(stored, QLatin1StringView(c.field), c.ppi), c.text)
            << c.field << " at " << c.ppi;

    StoredFont points;
    points.font.setPointSize(12);
    EXPECT_EQ(encodeFontField(points, "Height", 96), "-16");
    EXPECT_EQ(encodeFontField(points, "Size", 96), "12");
}

TEST(PropCodecFont, HeightThenSizeTheSizeDecides)
{
    StoredFont stored = lyricFont();
    EXPECT_TRUE(decodeFontField(stored, "Height", "-30", 96));
    EXPECT_EQ(stored.font.pixelSize(), 30);
    EXPECT_TRUE(decodeFontField(stored, "Size", "18", 96));
    EXPECT_EQ(stored.font.pixelSize(), 24);
    EXPECT_TRUE(decodeFontField(stored, "Size", "18", 120));
    EXPECT_EQ(stored.font.pixelSize(), 30);
}

TEST(PropCodecFont, SizesThatCannotBeDrawnLeaveTheFontAlone)
{
    for (const char *text : {"0", "abc", "", "-2147483648", "2147483647", "100000"}) {
        StoredFont stored = lyricFont();
        EXPECT_FALSE(decodeFontField(stored, "Height", text, 96)) << text;
        EXPECT_FALSE(decodeFontField(stored, "Size", text, 96)) << text;
        EXPECT_EQ(stored.font.pixelSize(), 24) << text;
    }
}

TEST(PropCodecFont, PositiveHeightIsTheCellAndGivesASmallerCharacter)
{
    StoredFont stored = lyricFont();
    ASSERT_TRUE(decodeFontField(stored, "Height", "40", 96));
    EXPECT_GT(stored.font.pixelSize(), 20);
    EXPECT_LE(stored.font.pixelSize(), 40);
}

TEST(PropCodecFont, StylePitchNameColourAndCharsetRoundTrip)
{
    StoredFont stored = lyricFont();
    EXPECT_TRUE(
        decodeFontField(stored, "Style", "[fsItalic,fsUnderline,fsStrikeOut,fsWobbly]", 96));
    EXPECT_FALSE(stored.font.bold());
    EXPECT_TRUE(stored.font.italic());
    EXPECT_TRUE(stored.font.underline());
    EXPECT_TRUE(stored.font.strikeOut());
    EXPECT_EQ(encodeFontField(stored, "Style", 96), "[fsItalic,fsUnderline,fsStrikeOut]");
    EXPECT_TRUE(decodeFontField(stored, "Style", "[]", 96));
    EXPECT_EQ(encodeFontField(stored, "Style", 96), "[]");

    for (const char *pitch : {"fpFixed", "fpVariable", "fpDefault"}) {
        EXPECT_TRUE(decodeFontField(stored, "Pitch", QString::fromLatin1(pitch).toUpper(), 96));
        EXPECT_EQ(encodeFontField(stored, "Pitch", 96), pitch);
    }
    EXPECT_FALSE(decodeFontField(stored, "Pitch", "fpWide", 96));
    EXPECT_EQ(encodeFontField(stored, "Pitch", 96), "fpDefault");

    EXPECT_TRUE(decodeFontField(stored, "Name", "Liberation Sans", 96));
    EXPECT_EQ(encodeFontField(stored, "Name", 96), "Liberation Sans");
    EXPECT_TRUE(decodeFontField(stored, "Color", "-16777208", 96));
    EXPECT_EQ(stored.color, -16777208);
    EXPECT_TRUE(decodeFontField(stored, "Color", "red", 96));
    EXPECT_EQ(stored.color, 0);
    EXPECT_TRUE(decodeFontField(stored, "Charset", "204", 96));
    EXPECT_EQ(stored.charset, 204);
    EXPECT_TRUE(decodeFontField(stored, "Charset", "999", 96));
    EXPECT_EQ(stored.charset, 255);
}

} // namespace
