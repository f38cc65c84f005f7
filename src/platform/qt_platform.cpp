#include "qt_platform.h"

#include "file_filter.h"
#include "font_dialog.h"
#include "help_window.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QUrl>
#include <QUrlQuery>

namespace vokrin::platform {
namespace {

std::optional<QString> runFileDialog(QWidget *parent, const FileDialogOptions &options,
                                     QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent, options.title, options.initialDir);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    if (!options.overwritePrompt)
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilters(qtNameFilters(options.filter));
    dialog.setDefaultSuffix(options.defaultSuffix);
    if (!options.initialFile.isEmpty())
        dialog.selectFile(options.initialFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return withDefaultSuffix(dialog.selectedFiles().constFirst(), options.defaultSuffix);
}

// Runs a helper program without a shell; true when it ran and exited with 0.
bool runQuietly(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start();
    if (!process.waitForStarted(5000))
        return false;
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished(1000);
        return false;
    }
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

} // namespace

std::optional<QString> QtPlatform::openFile(QWidget *parent, const FileDialogOptions &options)
{
    return runFileDialog(parent, options, QFileDialog::AcceptOpen);
}

std::optional<QString> QtPlatform::saveFile(QWidget *parent, const FileDialogOptions &options)
{
    return runFileDialog(parent, options, QFileDialog::AcceptSave);
}

std::optional<QString> QtPlatform::chooseFolder(QWidget *parent, const QString &title,
                                                const QString &initialDir)
{
    const QString folder = QFileDialog::getExistingDirectory(
        parent, title, initialDir, QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    if (folder.isEmpty())
        return std::nullopt;
    return folder;
}

std::optional<FontChoice> QtPlatform::chooseFont(QWidget *parent, const FontChoice &initial)
{
    return runFontDialog(parent, initial);
}

std::optional<QColor> QtPlatform::chooseColor(QWidget *parent, const QColor &initial)
{
    const QColor color =
        QColorDialog::getColor(initial, parent, QString(), QColorDialog::DontUseNativeDialog);
    if (!color.isValid())
        return std::nullopt;
    return color;
}

MessageResult QtPlatform::showMessage(QWidget *parent, const QString &text, const QString &caption,
                                      MessageIcon icon, MessageButtons buttons)
{
    QMessageBox box(parent);
    box.setWindowTitle(caption);
    // Messages carry file names ("Unable to write to %s"); the toolkit would take one
    // holding "<b>" for markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    switch (icon) {
    case MessageIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case MessageIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MessageIcon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case MessageIcon::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case MessageIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    }
    switch (buttons) {
    case MessageButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MessageButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
        break;
    case MessageButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Ok:
        return MessageResult::Ok;
    case QMessageBox::Yes:
        return MessageResult::Yes;
    case QMessageBox::No:
        return MessageResult::No;
    default:
        return buttons == MessageButtons::Ok ? MessageResult::Ok : MessageResult::Cancel;
    }
}

void QtPlatform::showHelp(QWidget *parent, const QString &helpFile, int context)
{
    showHelpWindow(parent, helpFile, context);
}

void QtPlatform::setClipboardText(const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
}

bool QtPlatform::choosePrinter(QWidget *parent, QPrinter &printer)
{
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

bool QtPlatform::sendMail(const QString &subject, const QString &body,
                          const QStringList &attachments)
{
    QStringList arguments{QStringLiteral("--utf8"), QStringLiteral("--subject"), subject,
                          QStringLiteral("--body"), body};
    for (const QString &file : attachments)
        arguments << QStringLiteral("--attach") << file;
    if (runQuietly(QStringLiteral("xdg-email"), arguments))
        return true;
    // No mail program took the message with its attachments: offer the text alone.
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("subject"), subject);
    query.addQueryItem(QStringLiteral("body"), body);
    QUrl mailto(QStringLiteral("mailto:"));
    mailto.setQuery(query);
    return runQuietly(QStringLiteral("xdg-open"), {mailto.toString(QUrl::FullyEncoded)});
}

void QtPlatform::errorSound()
{
    QApplication::beep();
}

} // namespace vokrin::platform
