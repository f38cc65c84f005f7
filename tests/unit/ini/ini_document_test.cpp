#include "settings/ini_document.h"

#include <QStringDecoder>
#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>

using vokrin::settings::IniDocument;
using vokrin::settings::iniValueForReading;
using vokrin::settings::kIniMaxValueLength;
using vokrin::settings::parseIniFloat;
using vokrin::settings::parseIniInteger;

namespace {

std::optional<QString> lookup(const char *file, const char *section, const char *key)
{
    return IniDocument::parse(QByteArray(file))
        .storedValue(QString::fromUtf8(section), QString::fromUtf8(key));
}

// The text of a literal, keeping a leading U+FEFF as a character.
QString text(const char *utf8)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder(QByteArrayView(utf8));
}

} // namespace

TEST(IniDocument, FindsValuesWithoutRegardToCaseAndFirstMatchWins)
{
    const char *file = "top=ignored\n"
                       "[TParamsForm]\n"
                       "; eq_Enabled=comment\n"
                       "  eq_Enabled =  True  \n"
                       "eq_enabled=second\n"
                       "Empty=\n"
                       "not an entry\n"
                       "[tparamsform]\n"
                       "Later=from the second section\n"
                       "[Other\n"
                       "a=b=c\n";
    struct Case
    {
        const char *section;
        const char *key;
        std::optional<QString> expected;
    };
    const Case cases[] = {
        {"TParamsForm", "eq_Enabled", QStringLiteral("True")},
        {"TPARAMSFORM", "EQ_ENABLED", QStringLiteral("True")},
        {" TParamsForm ", " eq_enabled ", QStringLiteral("True")},
        {"TParamsForm", "Empty", QStringLiteral("")},
        {"TParamsForm", "Later", std::nullopt}, // only the first section of a name counts
        {"TParamsForm", "Missing", std::nullopt},
        {"TParamsForm", "not an entry", std::nullopt},
        {"TParamsForm", "top", std::nullopt},
        {"Missing", "eq_Enabled", std::nullopt},
        {"Other", "a", QStringLiteral("b=c")}, // section without ']' runs to the line end
    };
    for (const Case &c : cases)
        EXPECT_EQ(lookup(file, c.section, c.key), c.expected) << c.section << "/" << c.key;
}

TEST(IniDocument, EveryLineEndReadsAndAByteOrderMarkIsSkipped)
{
    const char *files[] = {
        "[S]\r\na=1\r\nb=2\r\n",       "[S]\na=1\nb=2",         "[S]\ra=1\rb=2\r",
        "\xEF\xBB\xBF[S]\na=1\nb=2\n", "[S]\n\r\n\na=1\r\rb=2",
    };
    for (const char *file : files) {
        EXPECT_EQ(lookup(file, "S", "a"), QStringLiteral("1")) << file;
        EXPECT_EQ(lookup(file, "S", "b"), QStringLiteral("2")) << file;
    }
    EXPECT_FALSE(IniDocument::parse(QByteArray()).hasSection(QStringLiteral("S")));
    EXPECT_TRUE(IniDocument::parse(QByteArray("[s]")).hasSection(QStringLiteral("S")));
}

TEST(IniDocument, WritesChangeOnlyTheLinesTheyTouch)
{
    struct Case
    {
        const char *name;
        const char *before;
        const char *section;
        const char *key;
        const char *value;
        const char *after;
    };
    const Case cases[] = {
        {"empty file", "", "TMainForm", "Volume_Value", "40", "[TMainForm]\nVolume_Value=40\n"},
        {"replace keeps the file's spelling, place and neighbours",
         "; mine\n[A]\nx=1\n  VOLUME_value = 7 \ny=2\n[B]\nz=3\n", "a", "Volume_Value", "40",
         "; mine\n[A]\nx=1\n  VOLUME_value =40\ny=2\n[B]\nz=3\n"},
        {"new key after the section's last key, before blank lines", "[A]\nx=1\n\n[B]\nz=3\n", "A",
         "y", "2", "[A]\nx=1\ny=2\n\n[B]\nz=3\n"},
        {"new key in a section with no keys", "[A]\n[B]\n", "A", "x", "1", "[A]\nx=1\n[B]\n"},
        {"new key in the last section without a final line end", "[A]\nx=1", "A", "y", "2",
         "[A]\nx=1\ny=2\n"},
        {"new section at the end, after a blank line", "[A]\r\nx=1\r\n", "B", "y", "2",
         "[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n"},
        {"new section after a last line without an end", "[A]\nx=1", "B", "y", "2",
         "[A]\nx=1\n\n[B]\ny=2\n"},
        {"replace the last line without an end", "[A]\nx=1", "A", "x", "", "[A]\nx="},
        {"line breaks in the value become blanks", "", "A", "x", "one\r\ntwo\nthree",
         "[A]\nx=one  two three\n"},
        {"a byte-order mark before the key stays", "\xEF\xBB\xBFx=0\n[A]\nx=1\n", "A", "x", "5",
         "\xEF\xBB\xBFx=0\n[A]\nx=5\n"},
        {"a key starting with U+FEFF is a name, not a byte-order mark", "[A]\n", "A",
         "\xEF\xBB\xBFk", "1", "[A]\n\xEF\xBB\xBFk=1\n"},
        {"bytes that are not UTF-8 on other lines stay", "[A]\nname=\xC0\xE1\xE2\nx=1\n", "A", "x",
         "2", "[A]\nname=\xC0\xE1\xE2\nx=2\n"},
    };
    for (const Case &c : cases) {
        IniDocument doc = IniDocument::parse(QByteArray(c.before));
        doc.setValue(text(c.section), text(c.key), text(c.value));
        EXPECT_EQ(doc.toBytes(), QByteArray(c.after)) << c.name;
        // And what was written reads back from the new bytes.
        const QString written = text(c.value).replace(u'\r', u' ').replace(u'\n', u' ');
        EXPECT_EQ(IniDocument::parse(doc.toBytes()).storedValue(text(c.section), text(c.key)),
                  written.trimmed())
            << c.name;
    }
}

TEST(IniDocument, NamesThatCouldNotBeReadBackAreRefused)
{
    IniDocument doc;
    EXPECT_THROW(doc.setValue(QStringLiteral("A]"), QStringLiteral("k"), QStringLiteral("v")),
                 std::invalid_argument);
    EXPECT_THROW(doc.setValue(QStringLiteral("A"), QStringLiteral("k=x"), QStringLiteral("v")),
                 std::invalid_argument);
    EXPECT_THROW(doc.setValue(QStringLiteral("A"), QStringLiteral("k\nx"), QStringLiteral("v")),
                 std::invalid_argument);
    EXPECT_THROW(doc.setValue(QStringLiteral("A"), QStringLiteral(" [k"), QStringLiteral("v")),
                 std::invalid_argument);
    EXPECT_THROW(doc.setValue(QStringLiteral("A"), QStringLiteral(";k"), QStringLiteral("v")),
                 std::invalid_argument);
    EXPECT_EQ(doc.toBytes(), QByteArray());
}

TEST(IniValueForReading, OneEnclosingPairOfQuotesIsRemoved)
{
    struct Case
    {
        const char *stored;
        const char *read;
    };
    const Case cases[] = {
        {"\"C:\\Songs\"", "C:\\Songs"},
        {"'single'", "single"},
        // The writer of a quoted text adds one more pair, so the quotes come back.
        {"\"\"quoted\"\"", "\"quoted\""},
        {"\"'mixed'\"", "'mixed'"},
        {"\"open", "\"open"},
        {"'mismatched\"", "'mismatched\""},
        {"\"", "\""},
        {"''", ""},
        {"in \"the\" middle", "in \"the\" middle"},
        {"", ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(iniValueForReading(QString::fromUtf8(c.stored)), QString::fromUtf8(c.read))
            << c.stored;
}

TEST(IniValueForReading, LongValuesAreCutTo2047Characters)
{
    const QString exact(kIniMaxValueLength, u'a');
    EXPECT_EQ(iniValueForReading(exact), exact);
    EXPECT_EQ(iniValueForReading(exact + u'b'), exact);
    EXPECT_EQ(iniValueForReading(QString(5000, u'a')), exact);
    // Quotes come off first, then the cut applies to what is inside.
    EXPECT_EQ(iniValueForReading(QStringLiteral("\"") + QString(3000, u'a') + QStringLiteral("\"")),
              exact);
    // A character outside the basic plane is never split in half.
    const QString astral = QString(kIniMaxValueLength - 1, u'a') + QString::fromUcs4(U"\U0001F3A4");
    EXPECT_EQ(iniValueForReading(astral), QString(kIniMaxValueLength - 1, u'a'));
}

TEST(ParseIniInteger, DecimalAndHexadecimal)
{
    struct Case
    {
        const char *text;
        std::optional<int> value;
    };
    const Case cases[] = {
        {"0", 0},
        {"-24", -24},
        {"+7", 7},
        {"16777215", 16777215},
        {"-16777208", -16777208},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"0x1F", 31},
        {"0XfF", 255},
        {"0x00000010", 16},
        {"0xFFFFFFFF", -1},
        {"0x80000000", -2147483647 - 1},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"0x100000000", std::nullopt},
        {"0x", std::nullopt},
        {"0xG", std::nullopt},
        {"-0x1", std::nullopt},
        {"$1F", std::nullopt},
        {"abc", std::nullopt},
        {"12abc", std::nullopt},
        {"1.5", std::nullopt},
        {"", std::nullopt},
        {"-", std::nullopt},
        {"TRUE", std::nullopt},
    };
    for (const Case &c : cases)
        EXPECT_EQ(parseIniInteger(QString::fromUtf8(c.text)), c.value) << c.text;
}

TEST(ParseIniFloat, UsesTheLocalesDecimalSeparator)
{
    const QLocale c(QLocale::C);
    const QLocale russian(QLocale::Russian, QLocale::Russia);
    struct Case
    {
        const QLocale &locale;
        const char *text;
        std::optional<double> value;
    };
    const Case cases[] = {
        {c, "1.5", 1.5},
        {c, "-10", -10.0},
        {c, "333", 333.0},
        {c, "1,5", std::nullopt},
        {c, "1,000", std::nullopt},
        {russian, "1,5", 1.5},
        {russian, "-96", -96.0},
        {russian, "1.5", std::nullopt},
        {c, "", std::nullopt},
        {c, "abc", std::nullopt},
        {c, "inf", std::nullopt},
        {c, "nan", std::nullopt},
        {c, "1e999", std::nullopt},
    };
    for (const Case &k : cases)
        EXPECT_EQ(parseIniFloat(QString::fromUtf8(k.text), k.locale), k.value)
            << k.locale.name().toStdString() << " " << k.text;
}
