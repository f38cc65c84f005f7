#include "report_actions.h"

#include "platform/platform.h"
#include "report_file.h"
#include "report_printer.h"

#include <QFileInfo>
#include <QPrinter>
#include <vector>

namespace vokrin::crashreport {

using platform::MessageButtons;
using platform::MessageIcon;

bool saveReportAs(QWidget *parent, const ReportContext &context)
{
    platform::FileDialogOptions options;
    options.title = QStringLiteral("Save error");
    options.filter = QStringLiteral("*.txt|*.txt");
    options.defaultSuffix = QStringLiteral("txt");
    options.initialDir = context.programFolder;
    options.initialFile = QStringLiteral("bugreport.txt");
    const std::optional<QString> chosen = platform::platform().saveFile(parent, options);
    if (!chosen || chosen->isEmpty())
        return false;
    const QByteArray path = QFileInfo(*chosen).absoluteFilePath().toLocal8Bit();
    const QByteArray text = context.report.toUtf8();
    std::vector<char> scratch(kReportFileScratch);
    if (appendReportFile(path.constData(), text.constData(), static_cast<std::size_t>(text.size()),
                         scratch.data(), scratch.size())) {
        return true;
    }
    platform::platform().showMessage(parent, QStringLiteral("Unable to write to %1").arg(*chosen),
                                     QStringLiteral("Save error"), MessageIcon::Error,
                                     MessageButtons::Ok);
    return false;
}

bool printReport(QWidget *parent, const ReportContext &context)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Print error"));
    if (!platform::platform().choosePrinter(parent, printer))
        return false;
    if (printReportText(printer, context.report))
        return true;
    platform::platform().showMessage(parent, QStringLiteral("The printer could not be started."),
                                     QStringLiteral("Print error"), MessageIcon::Error,
                                     MessageButtons::Ok);
    return false;
}

bool mailReport(QWidget *parent, const ReportContext &context)
{
    QStringList attachments;
    for (const QString &file : {context.reportFile, context.screenshotFile})
        if (!file.isEmpty() && QFileInfo::exists(file))
            attachments << file;
    const bool sent =
        platform::platform().sendMail(QStringLiteral("bug report"), context.report, attachments);
    platform::platform().showMessage(parent,
                                     sent ? QStringLiteral("The mail was sent successfully.")
                                          : QStringLiteral("Sorry, sending the mail didn't work."),
                                     QStringLiteral("E-mail error"),
                                     sent ? MessageIcon::Information : MessageIcon::Error,
                                     MessageButtons::Ok);
    return sent;
}

} // namespace vokrin::crashreport
