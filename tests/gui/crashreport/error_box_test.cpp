#include "crashreport/button_pictures.h"
#include "crashreport/error_box.h"
#include "crashreport/report_printer.h"
#include "plain_text_check.h"
#include "platform/scripted_platform.h"
#include "test_env.h"

#include <QApplication>
#include <QFile>
#include <QFontInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <gtest/gtest.h>

using namespace vokrin::crashreport;
using vokrin::platform::MessageIcon;
using vokrin::platform::ScriptedPlatform;

namespace {

QString sampleReport(int bodyLines)
{
    QString report = QStringLiteral("date/time         : 2026-12-09, 10:00:00.000\r\n"
                                    "exception class   : std::runtime_error\r\n"
                                    "exception message : the button handler failed\r\n");
    for (int i = 0; i < bodyLines; ++i)
        report += QStringLiteral("report line %1\r\n").arg(i, 3, 10, QLatin1Char('0'));
    return report;
}

ReportContext makeContext(const std::filesystem::path &dir, int bodyLines = 5)
{
    ReportContext context;
    context.report = sampleReport(bodyLines);
    context.programFolder = QString::fromStdString(dir.string());
    context.reportFile = QString::fromStdString((dir / "bugreport.txt").string());
    QFile report(context.reportFile);
    EXPECT_TRUE(report.open(QIODevice::WriteOnly));
    report.write(context.report.toUtf8() + "\r\n\r\n");
    report.close();
    context.screenshotFile = QString::fromStdString((dir / "screenShot.png").string());
    QFile shot(context.screenshotFile);
    EXPECT_TRUE(shot.open(QIODevice::WriteOnly));
    shot.write("png");
    return context;
}

QPushButton *button(ErrorBox &box, const char *name)
{
    auto *found = box.findChild<QPushButton *>(QLatin1String(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// A report quotes file names ("Unable to write to <path>"); the box shows them as they are.
TEST(ErrorBox, AReportHoldingMarkupIsShownAsItIs)
{
    ScriptedPlatform desktop;
    auto context = makeContext(vokrin::testing::makeTempDir("box"));
    const QString message = QStringLiteral("Unable to write to /songs/<b>x</b>.lyl");
    context.report.replace(QStringLiteral("the button handler failed"), message);
    ErrorBox box(QStringLiteral("vokrin"), context, true);
    box.show();
    QApplication::processEvents();

    auto *field = box.findChild<QPlainTextEdit *>(QStringLiteral("reportField"));
    ASSERT_NE(field, nullptr);
    EXPECT_TRUE(field->toPlainText().contains(message));
    EXPECT_EQ(vokrin::testing::labelsTakingMarkup(box), QStringList());
}

TEST(ErrorBox, ShowsTheFixedTextsAndTheReportAndAnnouncesItself)
{
    ScriptedPlatform desktop;
    const auto context = makeContext(vokrin::testing::makeTempDir("box"));
    ErrorBox box(QStringLiteral("vokrin"), context, true);
    box.show();
    QApplication::processEvents();

    EXPECT_EQ(box.windowTitle(), QStringLiteral("vokrin"));
    EXPECT_EQ(box.findChild<QLabel *>(QStringLiteral("message"))->text(),
              QStringLiteral("An error occurred in the application."));
    const std::pair<const char *, const char *> texts[] = {
        {"mailButton", "E-mail error"}, {"saveButton", "Save error"},
        {"printButton", "Print error"}, {"continueButton", "Continue"},
        {"restartButton", "Restart"},   {"closeButton", "Close"}};
    for (const auto &[name, text] : texts)
        EXPECT_EQ(button(box, name)->text(), QLatin1String(text));
    // Report buttons on the left, action buttons on the right, in one row.
    EXPECT_LT(button(box, "printButton")->geometry().right(),
              button(box, "continueButton")->geometry().left());
    EXPECT_EQ(button(box, "mailButton")->y(), button(box, "closeButton")->y());

    auto *field = box.findChild<QPlainTextEdit *>(QStringLiteral("reportField"));
    ASSERT_NE(field, nullptr);
    EXPECT_TRUE(field->isReadOnly());
    EXPECT_EQ(field->height(), 395);
    EXPECT_EQ(field->font().pixelSize(), 11);
    EXPECT_EQ(field->font().family(), QStringLiteral("Courier New"));
    EXPECT_TRUE(QFontInfo(field->font()).fixedPitch());
    EXPECT_GT(field->y(), button(box, "closeButton")->geometry().bottom());
    EXPECT_TRUE(field->toPlainText().contains(
        QStringLiteral("exception message : the button handler failed")));

    EXPECT_GE(box.width(), 538);
    EXPECT_EQ(box.minimumSize(), box.maximumSize()) << "the box must not be resizable";
    EXPECT_FALSE(box.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(box.windowFlags() & Qt::WindowMaximizeButtonHint);
    const QRect screen = box.screen()->availableGeometry();
    EXPECT_LE(std::abs(box.frameGeometry().center().x() - screen.center().x()), 2);
    EXPECT_LE(std::abs(box.frameGeometry().center().y() - screen.center().y()), 2);

    EXPECT_EQ(desktop.errorSounds, 1);
    EXPECT_EQ(desktop.clipboard, context.report);
    box.hide();
    box.show();
    EXPECT_EQ(desktop.errorSounds, 1) << "announced once, when it opens";
}

TEST(ErrorBox, ActionButtonsEndTheBoxWithTheirChoice)
{
    ScriptedPlatform desktop;
    const auto context = makeContext(vokrin::testing::makeTempDir("choice"));
    const std::pair<const char *, BoxChoice> cases[] = {{"continueButton", BoxChoice::Continue},
                                                        {"restartButton", BoxChoice::Restart},
                                                        {"closeButton", BoxChoice::Close}};
    for (const auto &[name, expected] : cases) {
        ErrorBox box(QStringLiteral("vokrin"), context, true);
        QTimer::singleShot(0, &box,
                           [&box, buttonName = name] { button(box, buttonName)->click(); });
        box.exec();
        EXPECT_EQ(box.choice(), expected) << name;
    }
}

TEST(ErrorBox, AfterAFatalErrorContinueIsDisabledAndEscapeDoesNotContinue)
{
    ScriptedPlatform desktop;
    const auto context = makeContext(vokrin::testing::makeTempDir("fatal"));
    ErrorBox box(QStringLiteral("vokrin"), context, false);
    box.show();
    EXPECT_FALSE(button(box, "continueButton")->isEnabled());
    box.reject();
    EXPECT_TRUE(box.isVisible());
    box.hide();

    ErrorBox goOn(QStringLiteral("vokrin"), context, true);
    goOn.show();
    goOn.reject();
    EXPECT_FALSE(goOn.isVisible());
    EXPECT_EQ(goOn.choice(), BoxChoice::Continue);
}

TEST(ErrorBox, MailGoesWithSubjectTextAndAttachmentsAndSaysWhetherItWorked)
{
    const auto dir = vokrin::testing::makeTempDir("mail");
    const auto context = makeContext(dir);
    for (const bool accepted : {false, true}) {
        ScriptedPlatform desktop;
        desktop.mailAccepted = accepted;
        ErrorBox box(QStringLiteral("vokrin"), context, true);
        button(box, "mailButton")->click();
        ASSERT_EQ(desktop.mails.size(), 1u);
        EXPECT_EQ(desktop.mails[0].subject, QStringLiteral("bug report"));
        EXPECT_EQ(desktop.mails[0].body, context.report);
        EXPECT_EQ(desktop.mails[0].attachments,
                  QStringList({context.reportFile, context.screenshotFile}));
        ASSERT_EQ(desktop.messages.size(), 1u);
        EXPECT_EQ(desktop.messages[0].caption, QStringLiteral("E-mail error"));
        EXPECT_EQ(desktop.messages[0].text,
                  accepted ? QStringLiteral("The mail was sent successfully.")
                           : QStringLiteral("Sorry, sending the mail didn't work."));
    }
}

TEST(ErrorBox, SaveAppendsToTheChosenFileByTheReportFileRules)
{
    const auto dir = vokrin::testing::makeTempDir("save");
    const auto context = makeContext(dir);
    const QString target = QString::fromStdString((dir / "saved.txt").string());
    ScriptedPlatform desktop;
    desktop.saveFileAnswers = {target, target, std::nullopt};
    ErrorBox box(QStringLiteral("vokrin"), context, true);
    for (int i = 0; i < 3; ++i)
        button(box, "saveButton")->click();
    ASSERT_EQ(desktop.saveFileRequests.size(), 3u);
    EXPECT_EQ(desktop.saveFileRequests[0].title, QStringLiteral("Save error"));
    EXPECT_TRUE(desktop.saveFileRequests[0].filter.contains(QStringLiteral("*.txt")));
    EXPECT_EQ(desktop.saveFileRequests[0].initialDir, context.programFolder);
    const QByteArray once = context.report.toUtf8() + "\r\n\r\n";
    EXPECT_EQ(readFile(target), once + once) << "the cancelled third dialog wrote nothing";

    // A file that cannot be written gets a message, not a crash.
    desktop.saveFileAnswers = {QString::fromStdString((dir / "no" / "such" / "x.txt").string())};
    button(box, "saveButton")->click();
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_TRUE(desktop.messages[0].text.startsWith(QStringLiteral("Unable to write to ")));
}

TEST(ErrorBox, PrintGivesThePagesTheTextAsksFor)
{
    const auto dir = vokrin::testing::makeTempDir("print");
    // 200 short lines plus one long line that has to be wrapped.
    auto context = makeContext(dir, 200);
    const QString longLine = QStringLiteral("word ").repeated(80).trimmed();
    context.report += longLine + QStringLiteral("\r\nlast line\r\n");
    const QString pdf = QString::fromStdString((dir / "report.pdf").string());
    ScriptedPlatform desktop;
    desktop.printToPdf = pdf;
    ErrorBox box(QStringLiteral("vokrin"), context, true);
    button(box, "printButton")->click();
    EXPECT_EQ(desktop.printerRequests, 1);
    ASSERT_TRUE(QFile::exists(pdf));

    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"),
                    {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    ASSERT_TRUE(pdftotext.waitForFinished(30000));
    const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
    const QStringList pages = text.split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    // A4 less 20 mm of margins holds about 85 lines of 8-point type: 206 lines need 3 pages.
    EXPECT_EQ(pages.size(), 3);
    // Every line arrives once and in order, none lost at a page break.
    qsizetype at = 0;
    for (int i = 0; i < 200; ++i) {
        const QString line = QStringLiteral("report line %1").arg(i, 3, 10, QLatin1Char('0'));
        const qsizetype found = text.indexOf(line, at);
        ASSERT_GE(found, 0) << line.toStdString();
        at = found;
    }
    EXPECT_GT(text.indexOf(QStringLiteral("last line")), at);
    EXPECT_GT(pages.value(0).count(QStringLiteral("report line")), 80);
    // The long line is wrapped onto several printed lines, with all its words.
    EXPECT_EQ(text.count(QStringLiteral("word")), 80);
    const QString lastPage = pages.value(2);
    qsizetype wrappedLines = 0;
    for (const QString &line : lastPage.split(QLatin1Char('\n')))
        if (line.contains(QStringLiteral("word")))
            ++wrappedLines;
    EXPECT_GE(wrappedLines, 2);
}

TEST(ReportPrinter, WrapsAtBlanksAndBreaksOnlyWordsThatDoNotFit)
{
    const auto byChars = [](const QString &text) { return static_cast<qreal>(text.size()); };
    struct Case
    {
        const char *line;
        qreal width;
        QStringList expected;
    };
    const Case cases[] = {
        {"", 10, {QString()}},
        {"short", 10, {QStringLiteral("short")}},
        {"one two three four",
         9,
         {QStringLiteral("one two"), QStringLiteral("three"), QStringLiteral("four")}},
        {"abcdefghijklmnop",
         5,
         {QStringLiteral("abcde"), QStringLiteral("fghij"), QStringLiteral("klmno"),
          QStringLiteral("p")}},
        {"  indented line here", 10, {QStringLiteral("  indented"), QStringLiteral("line here")}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(wrapLine(QString::fromLatin1(c.line), byChars, c.width), c.expected) << c.line;
    const auto pages = paginate(QStringList({"a", "b", "c", "d", "e"}), 2);
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[2], QStringList({"e"}));
}

TEST(ErrorBox, ButtonsCarryTheirBuiltInPictures)
{
    const char *names[] = {"MEIMAIL",     "MEISAVE",    "MEIPRINT", "MEISHOW",
                           "MEICONTINUE", "MEIRESTART", "MEICLOSE", "MEICANTCONTINUE"};
    std::vector<QImage> images;
    for (const char *name : names) {
        const QImage image = buttonPicture(QLatin1String(name)).toImage();
        ASSERT_EQ(image.size(), QSize(16, 16)) << name;
        int opaque = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                opaque += qAlpha(image.pixel(x, y)) > 128 ? 1 : 0;
        EXPECT_GT(opaque, 20) << name << " draws something";
        for (const QImage &other : images)
            EXPECT_NE(image, other) << name << " looks like another picture";
        images.push_back(image);
    }
    EXPECT_TRUE(buttonPicture(QStringLiteral("MEINOTHING")).isNull());

    ScriptedPlatform desktop;
    const auto context = makeContext(vokrin::testing::makeTempDir("pictures"));
    const auto iconOf = [](QPushButton *b) { return b->icon().pixmap(16, 16).toImage(); };
    ErrorBox fatal(QStringLiteral("vokrin"), context, false);
    EXPECT_EQ(iconOf(button(fatal, "continueButton")),
              buttonPicture(QStringLiteral("MEICANTCONTINUE")).toImage());
    ErrorBox recoverable(QStringLiteral("vokrin"), context, true);
    EXPECT_EQ(iconOf(button(recoverable, "continueButton")),
              buttonPicture(QStringLiteral("MEICONTINUE")).toImage());
    EXPECT_EQ(iconOf(button(recoverable, "mailButton")),
              buttonPicture(QStringLiteral("MEIMAIL")).toImage());
}
