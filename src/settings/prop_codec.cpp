#include "settings/prop_codec.h"

#include <QFontMetrics>
#include <QRegularExpression>
#include <algorithm>
#include <bit>
#include <cstdlib>
#include <limits>

namespace vokrin::settings {

namespace {

bool isBlank(QChar c)
{
    return c.unicode() <= u' ';
}

// a * b / c rounded to the nearest whole number, halves away from zero; nothing when the
// result does not fit.
std::optional<int> mulDiv(int a, int b, int c)
{
    if (c == 0)
        return std::nullopt;
    const std::int64_t product = static_cast<std::int64_t>(a) * b;
    const std::int64_t half = std::llabs(c) / 2;
    const bool negative = (product < 0) != (c < 0);
    const std::int64_t magnitude = (std::llabs(product) + half) / std::llabs(c);
    const std::int64_t result = negative ? -magnitude : magnitude;
    if (result > std::numeric_limits<int>::max() || result <= std::numeric_limits<int>::min())
        return std::nullopt;
    return static_cast<int>(result);
}

int effectivePpi(int pixelsPerInch)
{
    return pixelsPerInch > 0 ? pixelsPerInch : 96;
}

QStringList setWords(const QString &text)
{
    static const QRegularExpression separators(QStringLiteral("[\\s,\\[\\]]+"));
    return text.split(separators, Qt::SkipEmptyParts);
}

// A positive font height is the character cell (ascent plus descent); Qt sizes fonts by
// the em, so find the pixel size whose cell comes closest.
int pixelSizeForCellHeight(const QFont &font, int cellHeight)
{
    QFont probe = font;
    probe.setPixelSize(cellHeight);
    const int probeCell = QFontMetrics(probe).height();
    if (probeCell <= 0)
        return cellHeight;
    return std::max(1, mulDiv(cellHeight, cellHeight, probeCell).value_or(cellHeight));
}

// Larger glyphs only exhaust memory when drawn; a stored size beyond this is refused.
constexpr int kMaxFontPixels = 1000;

bool setPixelSize(QFont &font, int pixels)
{
    if (pixels <= 0 || pixels > kMaxFontPixels)
        return false;
    font.setPixelSize(pixels);
    return true;
}

// Font heights as stored: negative for a character height in pixels, positive for a cell.
bool applyFontHeight(QFont &font, int height)
{
    if (height < 0)
        return height != std::numeric_limits<int>::min() && setPixelSize(font, -height);
    if (height > 0 && height <= kMaxFontPixels)
        return setPixelSize(font, pixelSizeForCellHeight(font, height));
    return false; // "the default height" has no meaning once a font is chosen
}

struct StyleMember
{
    const char *name;
    bool (QFont::*get)() const;
    void (QFont::*set)(bool);
};

constexpr StyleMember kStyleMembers[] = {
    {"fsBold", &QFont::bold, &QFont::setBold},
    {"fsItalic", &QFont::italic, &QFont::setItalic},
    {"fsUnderline", &QFont::underline, &QFont::setUnderline},
    {"fsStrikeOut", &QFont::strikeOut, &QFont::setStrikeOut},
};

constexpr const char *kPitchDefault = "fpDefault";
constexpr const char *kPitchVariable = "fpVariable";
constexpr const char *kPitchFixed = "fpFixed";

// Windows system colour indices (the low byte of a 0xFF...... colour) and their palette
// counterparts.
struct SystemColor
{
    int index;
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

constexpr SystemColor kSystemColors[] = {
    {0, QPalette::Active, QPalette::Button},           // scroll bar
    {1, QPalette::Active, QPalette::Window},           // desktop
    {2, QPalette::Active, QPalette::Highlight},        // active caption
    {3, QPalette::Inactive, QPalette::Highlight},      // inactive caption
    {4, QPalette::Active, QPalette::Window},           // menu
    {5, QPalette::Active, QPalette::Base},             // window
    {6, QPalette::Active, QPalette::Shadow},           // window frame
    {7, QPalette::Active, QPalette::WindowText},       // menu text
    {8, QPalette::Active, QPalette::Text},             // window text
    {9, QPalette::Active, QPalette::HighlightedText},  // caption text
    {12, QPalette::Active, QPalette::Mid},             // application workspace
    {13, QPalette::Active, QPalette::Highlight},       // highlight
    {14, QPalette::Active, QPalette::HighlightedText}, // highlighted text
    {15, QPalette::Active, QPalette::Button},          // button face
    {16, QPalette::Active, QPalette::Dark},            // button shadow
    {17, QPalette::Disabled, QPalette::Text},          // grey text
    {18, QPalette::Active, QPalette::ButtonText},      // button text
    {20, QPalette::Active, QPalette::Light},           // button highlight
    {21, QPalette::Active, QPalette::Shadow},          // 3D dark shadow
    {22, QPalette::Active, QPalette::Midlight},        // 3D light
    {23, QPalette::Active, QPalette::ToolTipText},     // info text
    {24, QPalette::Active, QPalette::ToolTipBase},     // info background
};

} // namespace

QString trimBlanks(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text.at(begin)))
        ++begin;
    while (end > begin && isBlank(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

QString quoteForWriting(const QString &value)
{
    if (value.isEmpty())
        return value;
    const QChar first = value.front();
    const QChar last = value.back();
    if ((first == u'"' || first == u'\'') && first == last)
        return u'"' + value + u'"';
    return value;
}

std::optional<std::int32_t> parseWholeNumber(const QString &text)
{
    if (text.isEmpty())
        return std::nullopt;
    qsizetype i = 0;
    bool negative = false;
    if (text.at(0) == u'+' || text.at(0) == u'-') {
        negative = text.at(0) == u'-';
        i = 1;
    }
    if (i == text.size())
        return std::nullopt;
    std::int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c < u'0' || c > u'9')
            return std::nullopt;
        magnitude = magnitude * 10 + (c.unicode() - u'0');
        if (magnitude > std::int64_t{1} << 31)
            return std::nullopt;
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

QString encodeBool(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

std::optional<bool> decodeBool(const QString &text)
{
    if (text.compare(u"False", Qt::CaseInsensitive) == 0)
        return false;
    if (text.compare(u"True", Qt::CaseInsensitive) == 0)
        return true;
    return std::nullopt;
}

QString encodeEnum(const QMetaEnum &type, int value)
{
    for (int i = 0; i < type.keyCount(); ++i) {
        if (type.value(i) == value)
            return QString::fromLatin1(type.key(i));
    }
    return {};
}

std::optional<int> decodeEnum(const QMetaEnum &type, const QString &text)
{
    for (int i = 0; i < type.keyCount(); ++i) {
        if (text.compare(QLatin1StringView(type.key(i)), Qt::CaseInsensitive) == 0)
            return type.value(i);
    }
    return std::nullopt;
}

QString encodeSet(const QMetaEnum &type, int value)
{
    QStringList members;
    const auto bits = static_cast<unsigned>(value);
    for (int i = 0; i < type.keyCount(); ++i) {
        const auto member = static_cast<unsigned>(type.value(i));
        if (std::popcount(member) == 1 && (bits & member) != 0)
            members.append(QString::fromLatin1(type.key(i)));
    }
    return u'[' + members.join(u',') + u']';
}

int decodeSet(const QMetaEnum &type, const QString &text)
{
    int result = 0;
    for (const QString &word : setWords(text)) {
        if (const std::optional<int> member = decodeEnum(type, word))
            result |= *member;
    }
    return result;
}

std::int32_t colorToBgr(const QColor &color)
{
    const QColor rgb = color.toRgb();
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(rgb.red()) |
                                     (static_cast<std::uint32_t>(rgb.green()) << 8) |
                                     (static_cast<std::uint32_t>(rgb.blue()) << 16));
}

std::optional<QColor> bgrToColor(std::int32_t value, const QPalette &systemPalette)
{
    const auto bits = static_cast<std::uint32_t>(value);
    if ((bits >> 24) == 0xFF) {
        const int index = static_cast<int>(bits & 0xFF);
        for (const SystemColor &entry : kSystemColors) {
            if (entry.index == index)
                return systemPalette.color(entry.group, entry.role);
        }
        return std::nullopt;
    }
    // Palette-index and palette-relative forms keep their RGB in the low three bytes.
    return QColor(static_cast<int>(bits & 0xFF), static_cast<int>((bits >> 8) & 0xFF),
                  static_cast<int>((bits >> 16) & 0xFF));
}

QString encodeFontField(const StoredFont &stored, const QString &field, int pixelsPerInch)
{
    const QFont &font = stored.font;
    const int ppi = effectivePpi(pixelsPerInch);
    if (field == u"Charset")
        return QString::number(stored.charset);
    if (field == u"Color")
        return QString::number(stored.color);
    if (field == u"Height") {
        if (font.pixelSize() > 0)
            return QString::number(-font.pixelSize());
        return QString::number(-qRound(font.pointSizeF() * ppi / 72.0));
    }
    if (field == u"Name")
        return font.family();
    if (field == u"Pitch") {
        if (!(font.resolveMask() & QFont::FixedPitchResolved))
            return QString::fromLatin1(kPitchDefault);
        return QString::fromLatin1(font.fixedPitch() ? kPitchFixed : kPitchVariable);
    }
    if (field == u"Size") {
        if (font.pixelSize() > 0)
            return QString::number(mulDiv(font.pixelSize(), 72, ppi).value_or(0));
        return QString::number(qRound(font.pointSizeF()));
    }
    if (field == u"Style") {
        QStringList members;
        for (const StyleMember &member : kStyleMembers) {
            if ((font.*member.get)())
                members.append(QString::fromLatin1(member.name));
        }
        return u'[' + members.join(u',') + u']';
    }
    return {};
}

bool decodeFontField(StoredFont &stored, const QString &field, const QString &text,
                     int pixelsPerInch)
{
    QFont &font = stored.font;
    const int ppi = effectivePpi(pixelsPerInch);
    if (field == u"Charset") {
        stored.charset = std::clamp(parseWholeNumber(text).value_or(0), 0, 255);
        return true;
    }
    if (field == u"Color") {
        stored.color = parseWholeNumber(text).value_or(0);
        return true;
    }
    if (field == u"Height")
        return applyFontHeight(font, parseWholeNumber(text).value_or(0));
    if (field == u"Name") {
        font.setFamily(text);
        return true;
    }
    if (field == u"Pitch") {
        if (text.compare(QLatin1StringView(kPitchDefault), Qt::CaseInsensitive) == 0) {
            font.setFixedPitch(false);
            font.setResolveMask(font.resolveMask() & ~uint(QFont::FixedPitchResolved));
            return true;
        }
        if (text.compare(QLatin1StringView(kPitchVariable), Qt::CaseInsensitive) == 0) {
            font.setFixedPitch(false);
            return true;
        }
        if (text.compare(QLatin1StringView(kPitchFixed), Qt::CaseInsensitive) == 0) {
            font.setFixedPitch(true);
            return true;
        }
        return false;
    }
    if (field == u"Size") {
        // A size in points becomes a character height at this resolution, as it is drawn.
        const int points = parseWholeNumber(text).value_or(0);
        const std::optional<int> pixels = mulDiv(points, ppi, 72);
        return pixels && applyFontHeight(font, -*pixels);
    }
    if (field == u"Style") {
        const QStringList words = setWords(text);
        for (const StyleMember &member : kStyleMembers) {
            bool present = false;
            for (const QString &word : words)
                present = present ||
                          word.compare(QLatin1StringView(member.name), Qt::CaseInsensitive) == 0;
            (font.*member.set)(present);
        }
        return true;
    }
    return false;
}

} // namespace vokrin::settings
