#pragma once

#include "platform.h"

#include <deque>
#include <vector>

namespace vokrin::platform {

// A test double for the desktop: every dialog and message box takes the next scripted
// answer and records what it was asked. A dialog with no answer left is cancelled; a
// message box with no answer left answers OK (its only button) or Cancel.
//
//   ScriptedPlatform desktop;           // installs itself, uninstalls when destroyed
//   desktop.openFileAnswers.push_back("/tmp/a.lyp");
//   desktop.messageAnswers.push_back(MessageResult::Ok);
class ScriptedPlatform final : public Platform
{
public:
    struct Message
    {
        QString text;
        QString caption;
        MessageIcon icon;
        MessageButtons buttons;
    };
    struct Mail
    {
        QString subject;
        QString body;
        QStringList attachments;
    };

    ScriptedPlatform();
    ~ScriptedPlatform() override;
    ScriptedPlatform(const ScriptedPlatform &) = delete;
    ScriptedPlatform &operator=(const ScriptedPlatform &) = delete;

    // Answers, taken from the front; std::nullopt is a cancelled dialog.
    std::deque<std::optional<QString>> openFileAnswers;
    std::deque<std::optional<QString>> saveFileAnswers;
    std::deque<std::optional<QString>> folderAnswers;
    std::deque<std::optional<FontChoice>> fontAnswers;
    std::deque<std::optional<QColor>> colorAnswers;
    std::deque<MessageResult> messageAnswers;
    // The printer dialog: when set, the printer is pointed at this PDF file and accepted.
    QString printToPdf;
    bool mailAccepted = false;

    // What was asked.
    std::vector<FileDialogOptions> openFileRequests;
    std::vector<FileDialogOptions> saveFileRequests;
    std::vector<QColor> colorRequests;
    std::vector<FontChoice> fontRequests;
    std::vector<Message> messages;
    std::vector<std::pair<QString, int>> helpRequests;
    std::vector<Mail> mails;
    QString clipboard;
    int printerRequests = 0;
    int errorSounds = 0;

    std::optional<QString> openFile(QWidget *parent, const FileDialogOptions &options) override;
    std::optional<QString> saveFile(QWidget *parent, const FileDialogOptions &options) override;
    std::optional<QString> chooseFolder(QWidget *parent, const QString &title,
                                        const QString &initialDir) override;
    std::optional<FontChoice> chooseFont(QWidget *parent, const FontChoice &initial) override;
    std::optional<QColor> chooseColor(QWidget *parent, const QColor &initial) override;
    MessageResult showMessage(QWidget *parent, const QString &text, const QString &caption,
                              MessageIcon icon, MessageButtons buttons) override;
    void showHelp(QWidget *parent, const QString &helpFile, int context) override;
    void setClipboardText(const QString &text) override;
    bool choosePrinter(QWidget *parent, QPrinter &printer) override;
    bool sendMail(const QString &subject, const QString &body,
                  const QStringList &attachments) override;
    void errorSound() override;
};

} // namespace vokrin::platform
