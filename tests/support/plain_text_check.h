#pragma once

#include <QLabel>
#include <QString>
#include <QStringList>
#include <QWidget>

namespace vokrin::testing {

// The labels of `window` that would take a text holding "<b>" for markup: names, paths
// and messages from files are shown as they are, so every label shows plain text.
inline QStringList labelsTakingMarkup(const QWidget &window)
{
    QStringList names;
    for (const QLabel *label : window.findChildren<QLabel *>()) {
        if (label->textFormat() != Qt::PlainText)
            names << label->objectName() + QStringLiteral(" (") + label->text() + QLatin1Char(')');
    }
    return names;
}

} // namespace vokrin::testing
