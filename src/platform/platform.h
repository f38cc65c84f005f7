#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>
#include <optional>

class QPrinter;
class QWidget;

namespace vokrin::platform {

// A font with the colour its text is drawn in.
struct FontChoice
{
    QFont font;
    QColor color;
};

// A file dialog as the windows describe it. `filter` is in the classic form
// "Description|*.a;*.b|Other|*.c"; `defaultSuffix` has no dot ("lyp").
struct FileDialogOptions
{
    QString title;
    QString filter;
    QString defaultSuffix;
    QString initialDir;
    QString initialFile;
    bool overwritePrompt = false;
};

enum class MessageIcon { None, Information, Warning, Error, Question };
enum class MessageButtons { Ok, OkCancel, YesNo };
enum class MessageResult { Ok, Cancel, Yes, No };

// Everything a window asks of the desktop: common dialogs, message boxes, help,
// clipboard, printer and mail. Windows never call QFileDialog, QMessageBox and the
// like directly; they go through platform(), which tests replace by a scripted double.
class Platform
{
public:
    virtual ~Platform() = default;

    virtual std::optional<QString> openFile(QWidget *parent, const FileDialogOptions &options) = 0;
    virtual std::optional<QString> saveFile(QWidget *parent, const FileDialogOptions &options) = 0;
    virtual std::optional<QString> chooseFolder(QWidget *parent, const QString &title,
                                                const QString &initialDir) = 0;
    // The font dialog offers the text colour with the font, as the classic one does.
    virtual std::optional<FontChoice> chooseFont(QWidget *parent, const FontChoice &initial) = 0;
    virtual std::optional<QColor> chooseColor(QWidget *parent, const QColor &initial) = 0;

    virtual MessageResult showMessage(QWidget *parent, const QString &text, const QString &caption,
                                      MessageIcon icon, MessageButtons buttons) = 0;

    // Shows the program's manual at the topic of `context` (0 is the contents).
    virtual void showHelp(QWidget *parent, const QString &helpFile, int context) = 0;

    virtual void setClipboardText(const QString &text) = 0;

    // The printer dialog; false when the user cancels.
    virtual bool choosePrinter(QWidget *parent, QPrinter &printer) = 0;

    // Hands a message with attachments to the user's mail program; false when no mail
    // program took it.
    virtual bool sendMail(const QString &subject, const QString &body,
                          const QStringList &attachments) = 0;

    // The system's error sound.
    virtual void errorSound() = 0;
};

// The platform in use: the Qt one unless a test installed another.
Platform &platform();
// Installs `replacement` (not owned); nullptr restores the Qt platform.
void setPlatform(Platform *replacement);

} // namespace vokrin::platform
