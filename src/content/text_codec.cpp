#include "content/text_codec.h"

#include <array>

namespace vokrin::content {
namespace {

// Characters of bytes 0x80..0xFF in Windows-1251.
constexpr std::array<char16_t, 128> kWindows1251High = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, //
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, //
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, //
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, //
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, //
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, //
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, //
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, //
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, //
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, //
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427, //
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F, //
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, //
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F, //
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447, //
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F, //
};

// The Windows-1251 byte of a character, or -1 when it has none.
int windows1251Byte(char16_t c)
{
    if (c < 0x80)
        return c;
    for (size_t i = 0; i < kWindows1251High.size(); ++i) {
        if (kWindows1251High[i] == c)
            return int(0x80 + i);
    }
    return -1;
}

bool isContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// Length of the valid UTF-8 sequence at bytes[pos], or 0 when none starts there
// (overlong forms, surrogates and values past U+10FFFF are not valid).
qsizetype utf8SequenceLength(QByteArrayView bytes, qsizetype pos)
{
    const auto at = [&](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = at(pos);
    qsizetype length = 0;
    char32_t minimum = 0;
    char32_t value = 0;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, minimum = 0x80, value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, minimum = 0x800, value = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, minimum = 0x10000, value = lead & 0x07;
    } else {
        return 0;
    }
    if (pos + length > bytes.size())
        return 0;
    for (qsizetype i = 1; i < length; ++i) {
        if (!isContinuation(at(pos + i)))
            return 0;
        value = (value << 6) | (at(pos + i) & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    return length;
}

} // namespace

TextEncoding detectEncoding(QByteArrayView bytes)
{
    bool multiByte = false;
    for (qsizetype pos = 0; pos < bytes.size();) {
        const qsizetype length = utf8SequenceLength(bytes, pos);
        if (length == 0)
            return TextEncoding::Windows1251;
        multiByte = multiByte || length > 1;
        pos += length;
    }
    return multiByte ? TextEncoding::Utf8 : TextEncoding::Windows1251;
}

QString decodeText(QByteArrayView bytes, TextEncoding encoding)
{
    if (encoding == TextEncoding::Utf8)
        return QString::fromUtf8(bytes);
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        text[i] = QChar(byte < 0x80 ? char16_t(byte) : kWindows1251High[byte - 0x80]);
    }
    return text;
}

QByteArray encodeText(const QString &text, TextEncoding encoding)
{
    if (encoding == TextEncoding::Utf8)
        return text.toUtf8();
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        // A character outside the basic plane is one '?', not two.
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        const int byte = windows1251Byte(c.unicode());
        bytes += byte < 0 ? '?' : char(byte);
    }
    return bytes;
}

TextEncoding encodingForNewText(const QString &text)
{
    for (const QChar c : text) {
        if (windows1251Byte(c.unicode()) < 0)
            return TextEncoding::Utf8;
    }
    return TextEncoding::Windows1251;
}

QByteArray cutAtCharacterBoundary(QByteArrayView bytes, qsizetype maxBytes)
{
    if (maxBytes < 0)
        maxBytes = 0;
    if (bytes.size() <= maxBytes)
        return bytes.toByteArray();
    qsizetype cut = maxBytes;
    if (detectEncoding(bytes) == TextEncoding::Utf8) {
        while (cut > 0 && isContinuation(static_cast<unsigned char>(bytes[cut])))
            --cut;
    }
    return bytes.first(cut).toByteArray();
}

} // namespace vokrin::content
