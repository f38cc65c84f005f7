#include "file_filter.h"

#include <QFileInfo>

namespace vokrin::platform {

QStringList qtNameFilters(const QString &classicFilter)
{
    QStringList result;
    const QStringList parts = classicFilter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString &raw : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString pattern = raw.trimmed();
            if (pattern == QLatin1String("*.*") || pattern == QLatin1String("*")) {
                patterns << QStringLiteral("*");
                continue;
            }
            for (const QString &variant : {pattern, pattern.toLower(), pattern.toUpper()}) {
                if (!patterns.contains(variant))
                    patterns << variant;
            }
        }
        if (!patterns.isEmpty())
            result << QStringLiteral("%1 (%2)").arg(parts[i].trimmed(),
                                                    patterns.join(QLatin1Char(' ')));
    }
    return result;
}

QString withDefaultSuffix(const QString &fileName, const QString &suffix)
{
    if (fileName.isEmpty() || suffix.isEmpty() || !QFileInfo(fileName).suffix().isEmpty())
        return fileName;
    return fileName + QLatin1Char('.') + suffix;
}

} // namespace vokrin::platform
