#include "scripted_platform.h"

#include <QPrinter>

namespace vokrin::platform {
namespace {

template <typename T> std::optional<T> takeFront(std::deque<std::optional<T>> &answers)
{
    if (answers.empty())
        return std::nullopt;
    // Copied out by value: gcc 12 misreads a moved-out std::optional<QString> as
    // maybe-uninitialized.
    const bool given = answers.front().has_value();
    T value = given ? *answers.front() : T();
    answers.pop_front();
    if (!given)
        return std::nullopt;
    return value;
}

} // namespace

ScriptedPlatform::ScriptedPlatform()
{
    setPlatform(this);
}

ScriptedPlatform::~ScriptedPlatform()
{
    if (&platform() == this)
        setPlatform(nullptr);
}

std::optional<QString> ScriptedPlatform::openFile(QWidget *, const FileDialogOptions &options)
{
    openFileRequests.push_back(options);
    return takeFront(openFileAnswers);
}

std::optional<QString> ScriptedPlatform::saveFile(QWidget *, const FileDialogOptions &options)
{
    saveFileRequests.push_back(options);
    return takeFront(saveFileAnswers);
}

std::optional<QString> ScriptedPlatform::chooseFolder(QWidget *, const QString &, const QString &)
{
    return takeFront(folderAnswers);
}

std::optional<FontChoice> ScriptedPlatform::chooseFont(QWidget *, const FontChoice &initial)
{
    fontRequests.push_back(initial);
    return takeFront(fontAnswers);
}

std::optional<QColor> ScriptedPlatform::chooseColor(QWidget *, const QColor &initial)
{
    colorRequests.push_back(initial);
    return takeFront(colorAnswers);
}

MessageResult ScriptedPlatform::showMessage(QWidget *, const QString &text, const QString &caption,
                                            MessageIcon icon, MessageButtons buttons)
{
    messages.push_back({text, caption, icon, buttons});
    if (messageAnswers.empty())
        return buttons == MessageButtons::Ok ? MessageResult::Ok : MessageResult::Cancel;
    const MessageResult answer = messageAnswers.front();
    messageAnswers.pop_front();
    return answer;
}

void ScriptedPlatform::showHelp(QWidget *, const QString &helpFile, int context)
{
    helpRequests.emplace_back(helpFile, context);
}

void ScriptedPlatform::setClipboardText(const QString &text)
{
    clipboard = text;
}

bool ScriptedPlatform::choosePrinter(QWidget *, QPrinter &printer)
{
    ++printerRequests;
    if (printToPdf.isEmpty())
        return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(printToPdf);
    return true;
}

bool ScriptedPlatform::sendMail(const QString &subject, const QString &body,
                                const QStringList &attachments)
{
    mails.push_back({subject, body, attachments});
    return mailAccepted;
}

void ScriptedPlatform::errorSound()
{
    ++errorSounds;
}

} // namespace vokrin::platform
