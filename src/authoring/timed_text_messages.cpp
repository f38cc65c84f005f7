#include "authoring/timed_text_messages.h"

#include "content/lrc_writer.h"

namespace vokrin::authoring {

QString timedTextErrorMessage(content::TimedTextError error, int errorLine)
{
    using content::TimedTextError;
    switch (error) {
    case TimedTextError::None:
        return QString();
    case TimedTextError::TooLarge:
        return QStringLiteral("Файл слишком велик для текста песни (больше %1 МБ).")
            .arg(content::kMaxTimedTextBytes / (1024 * 1024));
    case TimedTextError::NotText:
        return QStringLiteral("Файл не является текстом в кодировке UTF-8 или Windows-1251 "
                              "(двоичные данные или UTF-16).");
    case TimedTextError::BadTag:
        return QStringLiteral("Строка %1: время или заголовок не читается.").arg(errorLine);
    case TimedTextError::NoBpm:
        return QStringLiteral("В песне нет правильного заголовка #BPM.");
    case TimedTextError::NoTimedLines:
        return QStringLiteral("В файле нет строк со временем.");
    }
    return QString();
}

QString noAudioForTimesMessage()
{
    return QStringLiteral("Файл фонограммы не выбран: времена строк из файла текста "
                          "не перенесены в метки.");
}

QString unplayableAudioForTimesMessage()
{
    return QStringLiteral("Файл фонограммы не открывается: времена строк из файла текста "
                          "не перенесены в метки.");
}

QString lineAfterTrackEndMessage(qsizetype line, qint64 ms)
{
    QString time = content::lrcTimeTag(ms);
    time = time.mid(1, time.size() - 2);
    return QStringLiteral("Строка %1 файла текста (%2) начинается после конца фонограммы: "
                          "метки не поставлены.")
        .arg(line + 1)
        .arg(time);
}

} // namespace vokrin::authoring
