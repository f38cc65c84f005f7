// vokrin_icon_gen <folder> <name>: writes <name>.svg and <name>-48.png, -128.png and
// -256.png into the folder.
#include "icon_shapes.h"

#include <QDir>
#include <QFile>
#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: vokrin_icon_gen <folder> <name>\n");
        return 2;
    }
    const QDir folder(QFile::decodeName(argv[1]));
    const QString name = QFile::decodeName(argv[2]);
    if (!QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "vokrin_icon_gen: cannot create %s\n", argv[1]);
        return 1;
    }
    const auto icon = vokrin::tools::vokrinIcon();
    QFile svg(folder.filePath(name + QStringLiteral(".svg")));
    const QByteArray text = vokrin::tools::iconSvg(icon);
    if (!svg.open(QIODevice::WriteOnly) || svg.write(text) != text.size()) {
        std::fprintf(stderr, "vokrin_icon_gen: cannot write the SVG icon\n");
        return 1;
    }
    for (int size : {48, 128, 256}) {
        const QString png = folder.filePath(QStringLiteral("%1-%2.png").arg(name).arg(size));
        if (!vokrin::tools::iconImage(icon, size).save(png, "PNG")) {
            std::fprintf(stderr, "vokrin_icon_gen: cannot write %s\n", qPrintable(png));
            return 1;
        }
    }
    return 0;
}
