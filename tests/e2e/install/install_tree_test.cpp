// `cmake --install` into a temporary DESTDIR: the tree it lays out, and the desktop's
// own validators on the installed files.
#include "run_tool.h"
#include "test_env.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

namespace {

using vokrin::e2e::runTool;
const QString kId = QStringLiteral(VOKRIN_DESKTOP_ID);

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class InstallTree : public ::testing::Test
{
protected:
    void SetUp() override
    {
        destdir = QString::fromStdString(vokrin::testing::makeTempDir("install-tree").string());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DESTDIR"), destdir);
        const auto install = runTool(QStringLiteral(VOKRIN_CMAKE_COMMAND),
                                     {QStringLiteral("--install"),
                                      QString::fromStdString(vokrin::testing::binaryDir().string()),
                                      QStringLiteral("--prefix"), QStringLiteral("/usr/local")},
                                     environment);
        ASSERT_TRUE(install.ok()) << install.describe();
        prefix = destdir + QStringLiteral("/usr/local");
    }

    QString at(const QString &relative) const { return prefix + QLatin1Char('/') + relative; }

    // The desktop entry's lines of one group, "key=value".
    QStringList desktopGroup(const QString &group) const
    {
        QStringList lines;
        bool inGroup = false;
        const QString text = QString::fromUtf8(
            readFile(at(QStringLiteral("share/applications/") + kId + ".desktop")));
        for (const QString &line : text.split(QLatin1Char('\n'))) {
            if (line.startsWith(QLatin1Char('[')))
                inGroup = line == QLatin1Char('[') + group + QLatin1Char(']');
            else if (inGroup && line.contains(QLatin1Char('=')))
                lines << line;
        }
        return lines;
    }

    QString destdir;
    QString prefix;
};

TEST_F(InstallTree, LaysOutTheProgramItsHelperManualAndDesktopFiles)
{
    const QStringList expected = {
        "bin/vokrin",
        "bin/vokrin-lrc",
        "libexec/vokrin/vokrin-crashreport",
        "share/applications/" + kId + ".desktop",
        "share/icons/hicolor/128x128/apps/" + kId + ".png",
        "share/icons/hicolor/256x256/apps/" + kId + ".png",
        "share/icons/hicolor/48x48/apps/" + kId + ".png",
        "share/icons/hicolor/scalable/apps/" + kId + ".svg",
        "share/man/man1/vokrin-lrc.1",
        "share/man/man1/vokrin.1",
        "share/man/ru/man1/vokrin.1",
        "share/metainfo/" + kId + ".metainfo.xml",
        "share/mime/packages/" + kId + ".xml",
        "share/vokrin/help/vokrin.html",
    };
    QStringList files;
    QDirIterator it(destdir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next().mid(prefix.size() + 1);
    files.sort();
    EXPECT_EQ(files, expected) << "everything under " << prefix.toStdString();

    for (const char *program :
         {"bin/vokrin", "bin/vokrin-lrc", "libexec/vokrin/vokrin-crashreport"})
        EXPECT_TRUE(QFileInfo(at(program)).isExecutable()) << program;
    EXPECT_EQ(readFile(at("share/vokrin/help/vokrin.html")),
              readFile(QString::fromStdString(
                  (vokrin::testing::sourceDir() / "resources/help/vokrin.html").string())));

    for (int size : {48, 128, 256}) {
        const QImage icon(
            at(QStringLiteral("share/icons/hicolor/%1x%1/apps/").arg(size) + kId + ".png"));
        ASSERT_FALSE(icon.isNull()) << size;
        EXPECT_EQ(icon.size(), QSize(size, size));
        EXPECT_EQ(icon.pixelColor(size / 2, size / 2).alpha(), 255) << "the tile is drawn";
        EXPECT_EQ(icon.pixelColor(0, 0).alpha(), 0) << "the corners stay clear";
    }
    QXmlStreamReader svg(readFile(at("share/icons/hicolor/scalable/apps/" + kId + ".svg")));
    ASSERT_TRUE(svg.readNextStartElement());
    EXPECT_EQ(svg.name(), QLatin1String("svg"));
    EXPECT_EQ(svg.attributes().value("viewBox"), QLatin1String("0 0 256 256"));
    int rects = 0;
    while (!svg.atEnd()) {
        if (svg.readNext() == QXmlStreamReader::StartElement && svg.name() == QLatin1String("rect"))
            ++rects;
    }
    EXPECT_FALSE(svg.hasError()) << svg.errorString().toStdString();
    EXPECT_GE(rects, 5);
}

TEST_F(InstallTree, TheMenuEntryValidatesAndStartsThePlayerWithOneDocument)
{
    const auto validate =
        runTool("desktop-file-validate", {at("share/applications/" + kId + ".desktop")});
    ASSERT_TRUE(validate.ran) << "desktop-file-validate is missing (scripts/deps)";
    EXPECT_TRUE(validate.ok()) << validate.describe();
    EXPECT_TRUE(validate.out.isEmpty() && validate.err.isEmpty()) << validate.describe();

    const QStringList entry = desktopGroup("Desktop Entry");
    for (const QString &line :
         QStringList{"Type=Application", "Name=Vokrin", "Name[ru]=Вокрин", "TryExec=vokrin",
                     "Exec=vokrin %f", "Icon=" + kId, "StartupWMClass=vokrin",
                     "Categories=AudioVideo;Audio;Player;",
                     "MimeType=application/x-vokrin-list;application/x-vokrin-project;",
                     "Actions=PlayPause;Stop;"})
        EXPECT_TRUE(entry.contains(line)) << line.toStdString();
    EXPECT_TRUE(entry.filter(QRegularExpression("^Comment\\[ru\\]=.+")).size() == 1);

    // The actions call the player on the session bus.
    for (const auto &[group, method] : {std::pair{"Desktop Action PlayPause", "PlayPause"},
                                        std::pair{"Desktop Action Stop", "Stop"}}) {
        const QStringList action = desktopGroup(group);
        EXPECT_TRUE(action.filter(QRegularExpression("^Name\\[ru\\]=.+")).size() == 1) << group;
        EXPECT_TRUE(action.contains(
            QStringLiteral("Exec=dbus-send --session --type=method_call "
                           "--dest=org.mpris.MediaPlayer2.vokrin /org/mpris/MediaPlayer2 "
                           "org.mpris.MediaPlayer2.Player.") +
            method))
            << group;
    }
}

TEST_F(InstallTree, TheAppStreamDataValidatesAndNamesTheMenuEntryAndThisVersion)
{
    const QString file = at("share/metainfo/" + kId + ".metainfo.xml");
    const auto validate = runTool("appstreamcli", {"validate", "--no-net", file});
    ASSERT_TRUE(validate.ran) << "appstreamcli is missing (scripts/deps)";
    EXPECT_TRUE(validate.ok()) << validate.describe();

    QXmlStreamReader xml(readFile(file));
    QString id, launchable, release, rating, summary;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const bool english = xml.attributes().value("xml:lang").isEmpty();
        if (xml.name() == QLatin1String("release") && release.isEmpty())
            release = xml.attributes().value("version").toString();
        else if (xml.name() == QLatin1String("content_rating"))
            rating = xml.attributes().value("type").toString();
        else if (xml.name() == QLatin1String("id"))
            id = xml.readElementText();
        else if (xml.name() == QLatin1String("launchable"))
            launchable = xml.readElementText();
        else if (xml.name() == QLatin1String("summary") && english)
            summary = xml.readElementText();
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(id, kId);
    EXPECT_EQ(launchable, kId + ".desktop");
    EXPECT_EQ(release, VOKRIN_VERSION) << "the newest release is the one being built";
    EXPECT_EQ(rating, "oars-1.1");
    EXPECT_FALSE(summary.isEmpty());
}

TEST_F(InstallTree, TheManPageRendersAndTellsWhatTheCommandLineTakes)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("MANWIDTH", "80");
    environment.insert("MANPAGER", "cat");
    const auto man =
        runTool("man", {"--warnings", "-l", at("share/man/man1/vokrin.1")}, environment);
    ASSERT_TRUE(man.ran) << "man is missing (scripts/deps)";
    ASSERT_TRUE(man.ok()) << man.describe();
    EXPECT_TRUE(man.err.isEmpty()) << "groff warnings: " << man.err.toStdString();
    const QString page = QString::fromUtf8(man.out).simplified(); // justified: spaces vary
    for (const char *text :
         {"NAME", "SYNOPSIS", "vokrin - karaoke player", "list.lyl", "project.lyp",
          "reads no options", "org.mpris.MediaPlayer2.vokrin", "vokrin.ini"})
        EXPECT_TRUE(page.contains(QLatin1String(text))) << text;

    // The command-line tool's page.
    const auto lrc =
        runTool("man", {"--warnings", "-l", at("share/man/man1/vokrin-lrc.1")}, environment);
    ASSERT_TRUE(lrc.ok()) << lrc.describe();
    EXPECT_TRUE(lrc.err.isEmpty()) << "groff warnings: " << lrc.err.toStdString();
    const QString lrcPage = QString::fromUtf8(lrc.out).simplified();
    for (const char *text :
         {"NAME", "SYNOPSIS", "vokrin-lrc export", "vokrin-lrc import", "EXIT STATUS", "[offset:]"})
        EXPECT_TRUE(lrcPage.contains(QLatin1String(text))) << text;

    // The Russian page, as a Russian desktop's man shows it.
    environment.insert("LANG", "C.UTF-8");
    const auto ru =
        runTool("man", {"--warnings", "-l", at("share/man/ru/man1/vokrin.1")}, environment);
    ASSERT_TRUE(ru.ok()) << ru.describe();
    EXPECT_TRUE(ru.err.isEmpty()) << "groff warnings: " << ru.err.toStdString();
    const QString russian = QString::fromUtf8(ru.out).simplified();
    for (const char *text : {"ИМЯ", "СИНТАКСИС", "Параметров у программы нет", "список.lyl",
                             "проект.lyp", "org.mpris.MediaPlayer2.vokrin"})
        EXPECT_TRUE(russian.contains(QString::fromUtf8(text))) << text;
}

TEST_F(InstallTree, TheFileTypesCompileIntoAMimeDatabase)
{
    // The installed package file, compiled on its own as update-mime-database does for
    // the system's database.
    const QString mime = destdir + "/mime";
    QDir().mkpath(mime + "/packages");
    ASSERT_TRUE(
        QFile::copy(at("share/mime/packages/" + kId + ".xml"), mime + "/packages/" + kId + ".xml"));
    const auto update = runTool("update-mime-database", {mime});
    ASSERT_TRUE(update.ok()) << update.describe();
    const QByteArray globs = readFile(mime + "/globs2");
    EXPECT_TRUE(globs.contains(":application/x-vokrin-project:*.lyp\n")) << globs.constData();
    EXPECT_TRUE(globs.contains(":application/x-vokrin-list:*.lyl\n")) << globs.constData();
    EXPECT_TRUE(readFile(mime + "/magic").contains("[40:application/x-vokrin-list]"));
    EXPECT_TRUE(QFile::exists(mime + "/application/x-vokrin-project.xml"));
    const QByteArray list = readFile(mime + "/application/x-vokrin-list.xml");
    EXPECT_TRUE(list.contains("<comment xml:lang=\"ru\">")) << list.constData();
}

} // namespace
