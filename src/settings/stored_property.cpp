#include "settings/stored_property.h"

#include "settings/ini_file.h"
#include "settings/prop_codec.h"

#include <QApplication>
#include <QFont>
#include <QLocale>
#include <QWidget>
#include <algorithm>
#include <exception>
#include <vector>

namespace vokrin::settings {

namespace {

enum class Kind {
    Whole,
    Unsigned,
    Wide,
    Boolean,
    Enumeration,
    Set,
    Text,
    Floating,
    Colour,
    Font,
    Object,
    Unsupported
};

Kind kindOf(const QMetaProperty &property)
{
    if (property.isEnumType())
        return property.isFlagType() ? Kind::Set : Kind::Enumeration;
    const QMetaType type = property.metaType();
    switch (type.id()) {
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return Kind::Whole;
    case QMetaType::UInt:
        return Kind::Unsigned;
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return Kind::Wide;
    case QMetaType::Bool:
        return Kind::Boolean;
    case QMetaType::QString:
        return Kind::Text;
    case QMetaType::Double:
    case QMetaType::Float:
        return Kind::Floating;
    case QMetaType::QColor:
        return Kind::Colour;
    case QMetaType::QFont:
        return Kind::Font;
    default:
        break;
    }
    if (type.flags() & QMetaType::PointerToQObject)
        return Kind::Object;
    return Kind::Unsupported;
}

QPalette systemPalette()
{
    return QApplication::palette();
}

// The text of a simple value; nothing for a kind that has no text of its own.
std::optional<QString> encodeSimple(Kind kind, const QMetaProperty &property, const QVariant &value)
{
    switch (kind) {
    case Kind::Whole:
        return QString::number(value.toInt());
    case Kind::Unsigned:
        // Colours and other 32-bit values: the same bits, read as signed.
        return QString::number(static_cast<std::int32_t>(value.toUInt()));
    case Kind::Wide:
        return QString::number(value.toLongLong());
    case Kind::Boolean:
        return encodeBool(value.toBool());
    case Kind::Enumeration:
        return encodeEnum(property.enumerator(), value.toInt());
    case Kind::Set:
        return encodeSet(property.enumerator(), value.toInt());
    case Kind::Text:
        return value.toString();
    case Kind::Floating:
        return QLocale::c().toString(value.toDouble(), 'g', 15);
    case Kind::Colour:
        return QString::number(colorToBgr(value.value<QColor>()));
    case Kind::Font:
    case Kind::Object:
    case Kind::Unsupported:
        break;
    }
    return std::nullopt;
}

// The value a read text stands for; nothing leaves the property as it is.
std::optional<QVariant> decodeSimple(Kind kind, const QMetaProperty &property, const QString &text)
{
    switch (kind) {
    case Kind::Whole:
        return QVariant(parseWholeNumber(text).value_or(0));
    case Kind::Unsigned: {
        if (const auto value = parseWholeNumber(text))
            return QVariant(static_cast<uint>(*value));
        bool ok = false;
        const uint value = text.toUInt(&ok, 10);
        return QVariant(ok && !text.isEmpty() && text.front().isDigit() ? value : 0U);
    }
    case Kind::Wide: {
        bool ok = false;
        const qlonglong value = text.toLongLong(&ok, 10);
        return QVariant(ok ? value : 0LL);
    }
    case Kind::Boolean:
        if (const auto value = decodeBool(text))
            return QVariant(*value);
        return std::nullopt;
    case Kind::Enumeration:
        if (const auto value = decodeEnum(property.enumerator(), text))
            return QVariant(*value);
        return std::nullopt;
    case Kind::Set:
        return QVariant(decodeSet(property.enumerator(), text));
    case Kind::Text:
        return QVariant(text);
    case Kind::Floating: {
        bool ok = false;
        const double value = QLocale::c().toDouble(text, &ok);
        return QVariant(ok ? value : 0.0);
    }
    case Kind::Colour:
        if (const auto color = bgrToColor(parseWholeNumber(text).value_or(0), systemPalette()))
            return QVariant(*color);
        return std::nullopt;
    case Kind::Font:
    case Kind::Object:
    case Kind::Unsupported:
        break;
    }
    return std::nullopt;
}

// Enumerations and flags are written by their numeric value converted to the property's
// own type, so a setter taking the enum type sees a proper value.
bool assign(QObject *object, const QMetaProperty &property, QVariant value)
{
    if (property.isEnumType() && value.metaType() != property.metaType()) {
        QVariant converted(property.metaType(), nullptr);
        const int raw = value.toInt();
        if (QMetaType::convert(QMetaType::fromType<int>(), &raw, property.metaType(),
                               converted.data()))
            value = converted;
    }
    return property.write(object, value);
}

void writeText(TIniFile &ini, const QString &section, const QString &key, Kind kind,
               const QString &text)
{
    const QString trimmed = trimBlanks(text);
    if (trimmed.isEmpty() && kind != Kind::Text)
        return; // only text may be stored empty
    ini.WriteString(section, key, quoteForWriting(trimmed));
}

// Reads one key with `current` as the default; the trimmed text when the file holds
// something else than the current value's text.
std::optional<QString> readChanged(const TIniFile &ini, const QString &section, const QString &key,
                                   const QString &current)
{
    const QString read = ini.ReadString(section, key, current);
    if (read == current)
        return std::nullopt;
    return trimBlanks(read);
}

void readSimple(const TIniFile &ini, const QString &section, const QString &key, QObject *object,
                const QMetaProperty &property, Kind kind)
{
    const std::optional<QString> current = encodeSimple(kind, property, property.read(object));
    if (!current)
        return;
    const std::optional<QString> text = readChanged(ini, section, key, *current);
    if (!text)
        return;
    try {
        if (const std::optional<QVariant> value = decodeSimple(kind, property, *text))
            assign(object, property, *value);
    } catch (const std::exception &) {
        // One property that cannot take its value does not stop the others.
    }
}

std::vector<QMetaProperty> subProperties(const QObject &object)
{
    const QMetaObject *type = object.metaObject();
    std::vector<QMetaProperty> result;
    for (int i = QObject::staticMetaObject.propertyCount(); i < type->propertyCount(); ++i)
        result.push_back(type->property(i));
    std::stable_sort(result.begin(), result.end(),
                     [](const QMetaProperty &a, const QMetaProperty &b) {
                         return QString::fromLatin1(a.name()).compare(QLatin1StringView(b.name()),
                                                                      Qt::CaseInsensitive) < 0;
                     });
    return result;
}

QObject *subObject(const StoredProperty &target)
{
    return target.property.read(target.object).value<QObject *>();
}

StoredFont storedFont(const StoredProperty &target)
{
    StoredFont stored;
    stored.font = target.property.read(target.object).value<QFont>();
    if (const auto *widget = qobject_cast<const QWidget *>(target.object))
        stored.color = colorToBgr(widget->palette().color(QPalette::Text));
    const QVariant charset =
        target.object->property(charsetPropertyName(target.property.name()).constData());
    if (charset.isValid())
        stored.charset = charset.toInt();
    return stored;
}

void writeFont(TIniFile &ini, const QString &section, const StoredProperty &target,
               int pixelsPerInch)
{
    const StoredFont stored = storedFont(target);
    const bool hasColor = qobject_cast<const QWidget *>(target.object) != nullptr;
    for (const char *field : kFontFieldNames) {
        const QString name = QLatin1StringView(field);
        if (name == u"Color" && !hasColor)
            continue;
        const Kind kind = name == u"Name" ? Kind::Text : Kind::Whole;
        writeText(ini, section, target.key + name, kind,
                  encodeFontField(stored, name, pixelsPerInch));
    }
}

void setTextColor(QWidget &widget, const QColor &color)
{
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Text, color);
    palette.setColor(QPalette::WindowText, color);
    widget.setPalette(palette);
    widget.update();
}

void readFont(const TIniFile &ini, const QString &section, const StoredProperty &target,
              int pixelsPerInch)
{
    const StoredFont original = storedFont(target);
    StoredFont working = original;
    auto *widget = qobject_cast<QWidget *>(target.object);
    // Fields in order: each default is the font as the fields before it left it, so a
    // Size that differs from the Height just read still wins.
    for (const char *field : kFontFieldNames) {
        const QString name = QLatin1StringView(field);
        if (name == u"Color" && widget == nullptr)
            continue;
        const std::optional<QString> text = readChanged(
            ini, section, target.key + name, encodeFontField(working, name, pixelsPerInch));
        if (text)
            decodeFontField(working, name, *text, pixelsPerInch);
    }
    try {
        if (working.font != original.font)
            assign(target.object, target.property, QVariant(working.font));
        if (widget != nullptr && working.color != original.color) {
            if (const auto color = bgrToColor(working.color, systemPalette()))
                setTextColor(*widget, *color);
        }
        if (working.charset != original.charset)
            target.object->setProperty(charsetPropertyName(target.property.name()).constData(),
                                       working.charset);
    } catch (const std::exception &) {
        // As for any property: a failing assignment leaves the others alone.
    }
}

// Component names compare without regard to case, an exact match first.
QObject *findComponent(QObject *root, const QString &name)
{
    if (root->objectName() == name)
        return root;
    if (QObject *exact = root->findChild<QObject *>(name))
        return exact;
    if (root->objectName().compare(name, Qt::CaseInsensitive) == 0)
        return root;
    const QList<QObject *> all = root->findChildren<QObject *>();
    for (QObject *object : all) {
        if (object->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return object;
    }
    return nullptr;
}

} // namespace

QByteArray charsetPropertyName(const QByteArray &propertyName)
{
    return "vokrinCharsetOf" + propertyName;
}

QMetaProperty findPropertyNoCase(const QMetaObject &type, const QString &name)
{
    const QByteArray exact = name.toLatin1();
    const int index = type.indexOfProperty(exact.constData());
    if (index >= 0)
        return type.property(index);
    // The most derived class first: a control's own `Enabled` before QWidget's `enabled`.
    for (int i = type.propertyCount() - 1; i >= 0; --i) {
        const QMetaProperty property = type.property(i);
        if (name.compare(QLatin1StringView(property.name()), Qt::CaseInsensitive) == 0)
            return property;
    }
    return {};
}

std::optional<StoredProperty> findStoredProperty(QObject *root, const QString &entry)
{
    const QString text = trimBlanks(entry);
    const qsizetype dot = text.indexOf(u'.');
    if (root == nullptr || dot <= 0 || dot == text.size() - 1)
        return std::nullopt;
    const QString componentName = text.left(dot);
    const QString propertyName = text.mid(dot + 1);
    QObject *component = findComponent(root, componentName);
    if (component == nullptr)
        return std::nullopt;
    const QMetaProperty property = findPropertyNoCase(*component->metaObject(), propertyName);
    if (!property.isValid() || !property.isReadable())
        return std::nullopt;
    return StoredProperty{component, property,
                          component->objectName() + u'_' + QLatin1StringView(property.name())};
}

void writeStoredProperty(TIniFile &ini, const QString &section, const StoredProperty &target,
                         int pixelsPerInch)
{
    const Kind kind = kindOf(target.property);
    if (kind == Kind::Font) {
        writeFont(ini, section, target, pixelsPerInch);
        return;
    }
    if (kind == Kind::Object) {
        QObject *object = subObject(target);
        if (object == nullptr)
            return;
        for (const QMetaProperty &sub : subProperties(*object)) {
            const Kind subKind = kindOf(sub);
            if (const auto text = encodeSimple(subKind, sub, sub.read(object)))
                writeText(ini, section, target.key + QLatin1StringView(sub.name()), subKind, *text);
        }
        return;
    }
    if (const auto text = encodeSimple(kind, target.property, target.property.read(target.object)))
        writeText(ini, section, target.key, kind, *text);
}

void readStoredProperty(const TIniFile &ini, const QString &section, const StoredProperty &target,
                        int pixelsPerInch)
{
    const Kind kind = kindOf(target.property);
    if (kind == Kind::Font) {
        readFont(ini, section, target, pixelsPerInch);
        return;
    }
    if (kind == Kind::Object) {
        QObject *object = subObject(target);
        if (object == nullptr)
            return;
        for (const QMetaProperty &sub : subProperties(*object)) {
            if (sub.isWritable())
                readSimple(ini, section, target.key + QLatin1StringView(sub.name()), object, sub,
                           kindOf(sub));
        }
        return;
    }
    if (target.property.isWritable())
        readSimple(ini, section, target.key, target.object, target.property, kind);
}

} // namespace vokrin::settings
