#include "app/catalogue_title.h"

#include <algorithm>
#include <cstring>

namespace vokrin::app {

namespace {

constexpr qsizetype kId3BlockSize = 128;
constexpr qsizetype kTitleOffset = 3;
constexpr qsizetype kTitleLength = 30;

bool isBlank(char c)
{
    return static_cast<unsigned char>(c) <= 32;
}

} // namespace

QByteArray fileNamePart(QByteArrayView text)
{
    qsizetype cut = -1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '/' || text[i] == '\\' || text[i] == ':')
            cut = i;
    }
    return text.sliced(cut + 1).toByteArray();
}

QByteArray id3v1Title(const char *block)
{
    if (block == nullptr)
        return {};
    const auto length = static_cast<qsizetype>(::strnlen(block, kId3BlockSize));
    QByteArrayView title;
    if (length > kTitleOffset)
        title = QByteArrayView(block + kTitleOffset, std::min(length - kTitleOffset, kTitleLength));
    while (!title.isEmpty() && isBlank(title.front()))
        title = title.sliced(1);
    while (!title.isEmpty() && isBlank(title.back()))
        title.chop(1);
    return title.toByteArray();
}

QByteArray catalogueCaption(const char *tagBlock, QByteArrayView backingTrackPath)
{
    const QByteArray title = id3v1Title(tagBlock);
    return fileNamePart(title.isEmpty() ? backingTrackPath : QByteArrayView(title));
}

} // namespace vokrin::app
