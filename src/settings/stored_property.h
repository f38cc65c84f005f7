#pragma once

#include <QMetaProperty>
#include <QObject>
#include <QString>
#include <optional>

namespace vokrin::settings {
class TIniFile;
} // namespace vokrin::settings

// One "Component.Property" entry of a form storage: finding it on a window, writing its
// key(s) and reading them back through the property's setter.
namespace vokrin::settings {

// The property called `name` without regard to case; a property spelled exactly so wins.
// Invalid when there is none.
QMetaProperty findPropertyNoCase(const QMetaObject &type, const QString &name);

struct StoredProperty
{
    QObject *object = nullptr;
    QMetaProperty property;
    QString key; // component name, "_", declared property name
};

// The component is `root` itself or one of its descendants, by objectName. Nothing when
// the text is not "Component.Property" or either part does not exist.
std::optional<StoredProperty> findStoredProperty(QObject *root, const QString &entry);

// Writes the property's key (or one key per sub-property of a font or object). Errors of
// the file (EIniFileException) pass through.
void writeStoredProperty(TIniFile &ini, const QString &section, const StoredProperty &target,
                         int pixelsPerInch);

// Reads the key(s) with the current value as default and assigns what differs through the
// property's setter. A failure to convert or assign is dropped, leaving the value as it was.
void readStoredProperty(const TIniFile &ini, const QString &section, const StoredProperty &target,
                        int pixelsPerInch);

// The dynamic property in which a component keeps the charset of its font property
// `propertyName` (Qt fonts have none).
QByteArray charsetPropertyName(const QByteArray &propertyName);

} // namespace vokrin::settings
