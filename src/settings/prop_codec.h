#pragma once

#include <QColor>
#include <QFont>
#include <QMetaEnum>
#include <QPalette>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

// The text forms of stored property values. Everything here is a plain function of its
// inputs; the form storage reads and writes the settings file around them.
namespace vokrin::settings {

// Strips characters up to and including the blank from both ends (tabs and control
// characters count as blanks, as in the classic Trim).
QString trimBlanks(const QString &text);

// A value that begins and ends with the same quote character gets one more pair of double
// quotes, because the reader removes one enclosing pair.
QString quoteForWriting(const QString &value);

// The whole number of a stored property: optional sign and decimal digits within the
// 32-bit range; anything else is not a number.
std::optional<std::int32_t> parseWholeNumber(const QString &text);

QString encodeBool(bool value);
// "True"/"False" in any letter case; anything else is not a boolean.
std::optional<bool> decodeBool(const QString &text);

// The identifier of `value`; empty when the value has none.
QString encodeEnum(const QMetaEnum &type, int value);
// The first identifier matching `text` without regard to case.
std::optional<int> decodeEnum(const QMetaEnum &type, const QString &text);

// "[a,b]" from the single-bit members of a flag type, in declaration order.
QString encodeSet(const QMetaEnum &type, int value);
// Words split at blanks, commas and brackets; each word naming a member sets it, others
// are skipped. The result is the whole new set.
int decodeSet(const QMetaEnum &type, const QString &text);

// Colours as stored: 0x00BBGGRR, system colours with the top byte 0xFF.
std::int32_t colorToBgr(const QColor &color);
// A system colour becomes the matching colour of `systemPalette`; a system colour index
// without a counterpart gives nothing.
std::optional<QColor> bgrToColor(std::int32_t value, const QPalette &systemPalette);

// A font kept as its sub-properties, in the order they are written and read.
inline constexpr const char *kFontFieldNames[] = {"Charset", "Color", "Height", "Name",
                                                  "Pitch",   "Size",  "Style"};

// What a stored font consists of besides the QFont: the text colour and the charset.
struct StoredFont
{
    QFont font;
    std::int32_t color = 0xFFFFFF;
    int charset = 1;
};

// The text of one sub-property (`field` is one of kFontFieldNames) at `pixelsPerInch`.
QString encodeFontField(const StoredFont &font, const QString &field, int pixelsPerInch);
// Applies one read sub-property to `font`; false when the text changes nothing (not
// understood, or a size that cannot be represented).
bool decodeFontField(StoredFont &font, const QString &field, const QString &text,
                     int pixelsPerInch);

} // namespace vokrin::settings
