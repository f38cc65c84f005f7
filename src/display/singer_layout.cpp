#include "singer_layout.h"

#include <algorithm>

namespace vokrin::display {

SingerRows singerRows(int litLine, int rowCount)
{
    SingerRows rows;
    rows.litRow = std::clamp(rowCount - 1, 0, kSingerLitRow);
    rows.lit = litLine >= 0;
    rows.firstLine = std::max(litLine, 0) - rows.litRow;
    return rows;
}

int fittingPixelSize(const std::function<int(int pixelSize)> &longestWidthAt, int width,
                     int minimum, int maximum)
{
    if (maximum <= minimum || longestWidthAt(minimum + 1) > width)
        return minimum;
    int fits = minimum + 1; // known to fit
    int tooBig = maximum + 1;
    if (longestWidthAt(maximum) <= width)
        return maximum;
    tooBig = maximum;
    while (tooBig - fits > 1) {
        const int middle = fits + (tooBig - fits) / 2;
        if (longestWidthAt(middle) <= width)
            fits = middle;
        else
            tooBig = middle;
    }
    return fits;
}

SingerScreenPlace chooseSingerScreen(const QStringList &screens, int mainScreen,
                                     const QString &stored)
{
    const int storedIndex = stored.isEmpty() ? -1 : int(screens.indexOf(stored));
    if (storedIndex >= 0 && storedIndex != mainScreen)
        return {storedIndex, true};
    for (int i = 0; i < screens.size(); ++i) {
        if (i != mainScreen)
            return {i, true};
    }
    return {std::max(mainScreen, 0), false};
}

} // namespace vokrin::display
