// The Debian package: made by CPack from the release build tree as scripts/package makes
// it, its dependencies checked against this Debian release, and its program unpacked
// into a temporary root and started there on Xvfb.
#include "e2e_harness.h"
#include "main_window_driver.h"
#include "run_tool.h"
#include "test_env.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>

namespace {

using vokrin::e2e::runTool;

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Builds the package into `folder`; its path, or empty (with the reason in `why`).
QString buildPackage(const QString &folder, std::string *why)
{
    const QString build = QString::fromStdString(vokrin::testing::binaryDir().string());
    const auto cpack =
        runTool(QStringLiteral(VOKRIN_CPACK_COMMAND),
                {"-G", "DEB", "-B", folder, "--config", build + "/CPackConfig.cmake"},
                QProcessEnvironment::systemEnvironment(), 600000, build);
    if (!cpack.ok()) {
        *why = "cpack failed: " + cpack.describe();
        return {};
    }
    const auto arch = runTool("dpkg", {"--print-architecture"});
    const QString name =
        QStringLiteral("vokrin_%1_%2.deb")
            .arg(QStringLiteral(VOKRIN_VERSION), QString::fromLatin1(arch.out.trimmed()));
    const QString deb = folder + QLatin1Char('/') + name;
    if (!QFile::exists(deb)) {
        *why = "no " + name.toStdString() + " in " + folder.toStdString() + "\n" + cpack.describe();
        return {};
    }
    return deb;
}

// The package names of a Depends field, every alternative of every entry.
QStringList dependedPackages(const QString &depends)
{
    QStringList names;
    for (const QString &entry : depends.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        for (const QString &alternative : entry.split(QLatin1Char('|'), Qt::SkipEmptyParts)) {
            // "libc6 (>= 2.35)", "libfoo:any"
            names << alternative.trimmed().section(QLatin1Char(' '), 0, 0).section(':', 0, 0);
        }
    }
    return names;
}

// How many lines of dark text a picture shows on its light background.
int textLines(const QImage &image)
{
    int lines = 0;
    bool inText = false;
    for (int y = 0; y < image.height(); ++y) {
        int dark = 0;
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() < 100 && c.green() < 100 && c.blue() < 100)
                ++dark;
        }
        const bool text = dark >= 2 && dark < image.width() / 2;
        if (text && !inText)
            ++lines;
        inText = text;
    }
    return lines;
}

TEST(DebPackage, IsNamedForVersionAndArchitectureAndDependsOnlyOnPackagesOfThisRelease)
{
    const QString folder = QString::fromStdString(vokrin::testing::makeTempDir("deb").string());
    std::string why;
    const QString deb = buildPackage(folder, &why);
    ASSERT_FALSE(deb.isEmpty()) << why;

    const auto field = runTool("dpkg-deb", {"-f", deb, "Depends"});
    ASSERT_TRUE(field.ok()) << field.describe();
    const QString depends = QString::fromUtf8(field.out).trimmed();
    const QStringList packages = dependedPackages(depends);
    // What the binaries link, as dpkg-shlibdeps found it: the toolkit and the decoders.
    for (const char *library : {"libc6", "libqt6core6", "libqt6widgets6", "libqt6dbus6",
                                "libmpg123-0", "libvorbisfile3", "libdw1"})
        EXPECT_TRUE(packages.contains(QLatin1String(library)))
            << library << " in " << depends.toStdString();
    for (const QString &package : packages) {
        const auto known = runTool("apt-cache", {"show", "--no-all-versions", package});
        EXPECT_TRUE(known.ok() && known.out.contains("Package: " + package.toUtf8()))
            << package.toStdString() << " is not a package of this release";
    }

    // And apt can resolve them all here: a dry run of installing the package.
    const auto simulate =
        runTool("apt-get", {"install", "--simulate", "--no-install-recommends", deb});
    EXPECT_TRUE(simulate.ok() && simulate.out.contains("Inst vokrin")) << simulate.describe();

    const auto contents = runTool("dpkg-deb", {"-c", deb});
    ASSERT_TRUE(contents.ok());
    for (const char *file :
         {"./usr/bin/vokrin", "./usr/bin/vokrin-lrc", "./usr/libexec/vokrin/vokrin-crashreport",
          "./usr/share/vokrin/help/vokrin.html",
          "./usr/share/applications/" VOKRIN_DESKTOP_ID ".desktop",
          "./usr/share/man/man1/vokrin.1"})
        EXPECT_TRUE(contents.out.contains(file)) << file;
    EXPECT_FALSE(contents.out.contains("./usr/local")) << "the package installs under /usr";
}

TEST(DebPackage, TheUnpackedProgramShowsItsWindowFindsItsManualAndItsCrashHelper)
{
    VOKRIN_E2E_SERVERS(x, sound);
    const QString folder = QString::fromStdString(vokrin::testing::makeTempDir("deb-run").string());
    std::string why;
    const QString deb = buildPackage(folder, &why);
    ASSERT_FALSE(deb.isEmpty()) << why;
    const QString root = folder + "/root";
    const auto unpack = runTool("dpkg-deb", {"-x", deb, root});
    ASSERT_TRUE(unpack.ok()) << unpack.describe();
    // Nothing of the build tree is left to find: the unpacked program has only its own.
    vokrin::e2e::ProgramOptions options;
    options.executable = root + "/usr/bin/vokrin";
    vokrin::e2e::Program vokrin(x, &sound, {}, options);
    ASSERT_TRUE(vokrin.started());
    const QString window = vokrin::e2e::waitForMainWindow(x);
    ASSERT_FALSE(window.isEmpty()) << "no main window\n" << vokrin.output().toStdString();

    // The menu entry's StartupWMClass names the class of the program's window.
    const auto wmClass = runTool("xprop", {"-display", x.display(), "-id", window, "WM_CLASS"});
    EXPECT_TRUE(wmClass.out.contains("= \"vokrin\", \"vokrin\"")) << wmClass.describe();

    // F1: the manual from share/vokrin/help, a page full of text (without it the help
    // window says in one line that there is none).
    const QStringList before = x.visibleWindows();
    ASSERT_TRUE(x.sendKeys(window, {"F1"}));
    const QString help = x.waitForNewWindow(before, 60000);
    ASSERT_FALSE(help.isEmpty()) << "F1 showed no help window";
    int lines = 0;
    vokrin::e2e::waitUntil([&] { return (lines = textLines(x.grab(help))) >= 10; }, 30000, 200);
    EXPECT_GE(lines, 10) << "the help window shows no manual";
    ASSERT_TRUE(x.closeWindow(help));
    ASSERT_TRUE(x.waitForWindowGone(help, 30000));

    // A fatal signal: the helper from libexec/vokrin reads the stacks and shows the box.
    ASSERT_GT(vokrin.pid(), 0);
    ASSERT_EQ(::kill(static_cast<pid_t>(vokrin.pid()), SIGSEGV), 0);
    const QString box = x.waitForWindow("vokrin", 120000);
    ASSERT_FALSE(box.isEmpty()) << "no crash box: the helper was not found";
    const QByteArray report = readFile(root + "/usr/bin/bugreport.txt");
    EXPECT_TRUE(report.contains("exception class   : SIGSEGV")) << report.left(2000).constData();
    EXPECT_TRUE(report.contains("\r\nmain thread")) << report.left(4000).constData();
    EXPECT_FALSE(report.contains(">> stack not accessible")) << "the helper read no stacks";
    EXPECT_TRUE(report.contains(QFile::encodeName(root + "/usr/bin/vokrin")));
    ASSERT_TRUE(x.sendKeys(box, {"Return"})); // "Close"
    EXPECT_EQ(vokrin.waitForExit(60000), 1);
}

} // namespace
