#include "content/text_codec.h"

#include <gtest/gtest.h>

using vokrin::content::cutAtCharacterBoundary;
using vokrin::content::decodeText;
using vokrin::content::detectEncoding;
using vokrin::content::encodeText;
using vokrin::content::encodingForNewText;
using vokrin::content::TextEncoding;

TEST(TextCodec, DetectsUtf8OnlyWhenValidAndMultiByte)
{
    struct Case
    {
        const char *name;
        QByteArray bytes;
        TextEncoding expected;
    };
    const Case cases[] = {
        {"empty", "", TextEncoding::Windows1251},
        {"ASCII", "Hello, world", TextEncoding::Windows1251},
        {"UTF-8 Cyrillic", "\xD0\x9F\xD1\x80\xD0\xB8", TextEncoding::Utf8},
        {"UTF-8 four-byte", "a\xF0\x9F\x8E\xA4", TextEncoding::Utf8},
        {"Windows-1251 Cyrillic", "\xCF\xF0\xE8\xE2\xE5\xF2", TextEncoding::Windows1251},
        // Looks like a UTF-8 start, but the sequence is cut short.
        {"truncated sequence", "ok \xD0", TextEncoding::Windows1251},
        {"overlong slash", "\xC0\xAF", TextEncoding::Windows1251},
        {"encoded surrogate", "\xED\xA0\x80", TextEncoding::Windows1251},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", TextEncoding::Windows1251},
        {"lone continuation byte", "a\x80z\xD0\x9F", TextEncoding::Windows1251},
        // Windows-1251 "Рё" happens to be valid UTF-8 for "и": UTF-8 wins, as designed.
        {"ambiguous pair", "\xD0\xB8", TextEncoding::Utf8},
    };
    for (const Case &c : cases)
        EXPECT_EQ(detectEncoding(c.bytes), c.expected) << c.name;
}

TEST(TextCodec, EveryWindows1251ByteSurvivesDecodeAndEncode)
{
    QByteArray all;
    for (int b = 1; b < 256; ++b)
        all.append(char(b));
    const QString text = decodeText(all, TextEncoding::Windows1251);
    ASSERT_EQ(text.size(), all.size());
    EXPECT_EQ(encodeText(text, TextEncoding::Windows1251), all);
    // Spot checks of the table: letters, Ё/ё, typography and the unassigned byte.
    EXPECT_EQ(text[0xC0 - 1], QChar(0x0410)); // А
    EXPECT_EQ(text[0xFF - 1], QChar(0x044F)); // я
    EXPECT_EQ(text[0xA8 - 1], QChar(0x0401)); // Ё
    EXPECT_EQ(text[0xB8 - 1], QChar(0x0451)); // ё
    EXPECT_EQ(text[0xB9 - 1], QChar(0x2116)); // №
    EXPECT_EQ(text[0x88 - 1], QChar(0x20AC)); // €
    EXPECT_EQ(text[0x98 - 1], QChar(0x0098));
    EXPECT_EQ(decodeText(QByteArray("\xCF\xF0\xE8\xE2\xE5\xF2")), QString::fromUtf8("Привет"));
}

TEST(TextCodec, EncodesBackInTheEncodingTheTextCameFrom)
{
    const QString mixed = QString::fromUtf8("Ёлка — ★");
    EXPECT_EQ(encodeText(mixed, TextEncoding::Utf8), mixed.toUtf8());
    // A character Windows-1251 lacks becomes one '?', also outside the basic plane.
    EXPECT_EQ(encodeText(mixed, TextEncoding::Windows1251), QByteArray("\xA8\xEB\xEA\xE0 \x97 ?"));
    EXPECT_EQ(encodeText(QString::fromUtf8("a\U0001F3A4b"), TextEncoding::Windows1251),
              QByteArray("a?b"));

    EXPECT_EQ(encodingForNewText(QString::fromUtf8("Ёлка — №1")), TextEncoding::Windows1251);
    EXPECT_EQ(encodingForNewText(QStringLiteral("plain")), TextEncoding::Windows1251);
    EXPECT_EQ(encodingForNewText(QString::fromUtf8("Ёлка ★")), TextEncoding::Utf8);
    EXPECT_EQ(encodingForNewText(QString::fromUtf8("Ελλάδα")), TextEncoding::Utf8);
}

TEST(TextCodec, CutsAtACharacterBoundary)
{
    struct Case
    {
        const char *name;
        QByteArray bytes;
        qsizetype max;
        QByteArray expected;
    };
    const QByteArray ya("\xD1\x8F"); // UTF-8 я
    const Case cases[] = {
        {"short enough", "abc", 5, "abc"},
        {"exact", "abcde", 5, "abcde"},
        {"single-byte text cuts anywhere", "\xCF\xF0\xE8\xE2\xE5\xF2", 4, "\xCF\xF0\xE8\xE2"},
        {"UTF-8 boundary", "ab" + ya + ya, 4, "ab" + ya},
        {"UTF-8 inside a character", "ab" + ya + ya, 5, "ab" + ya},
        {"UTF-8 inside the first character", ya + "b", 1, ""},
        {"UTF-8 four-byte", "a\xF0\x9F\x8E\xA4z", 4, "a"},
        {"zero", "abc", 0, ""},
        {"negative", "abc", -3, ""},
    };
    for (const Case &c : cases) {
        const QByteArray cut = cutAtCharacterBoundary(c.bytes, c.max);
        EXPECT_EQ(cut, c.expected) << c.name;
        EXPECT_LE(cut.size(), std::max<qsizetype>(c.max, 0)) << c.name;
    }
}
