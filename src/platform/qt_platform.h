#pragma once

#include "platform.h"

namespace vokrin::platform {

// The desktop implementation: Qt's own (non-native) dialogs, so they look and behave
// the same on every desktop and can be driven by keyboard in end-to-end tests.
class QtPlatform final : public Platform
{
public:
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
