// The program's message box shows its text as it is: messages quote file names.
#include "platform/qt_platform.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using vokrin::platform::MessageButtons;
using vokrin::platform::MessageIcon;
using vokrin::platform::MessageResult;

TEST(MessageBox, AFileNameHoldingMarkupIsShownAsItIs)
{
    const QString text = QStringLiteral("Unable to write to /songs/<b>x</b>.lyl");
    QString shown;
    Qt::TextFormat format = Qt::AutoText;
    QTimer::singleShot(0, [&] {
        for (QWidget *window : QApplication::topLevelWidgets()) {
            auto *box = qobject_cast<QMessageBox *>(window);
            if (box == nullptr || !box->isVisible())
                continue;
            shown = box->text();
            format = box->textFormat();
            box->accept();
            return;
        }
        ADD_FAILURE() << "no message box open";
    });
    vokrin::platform::QtPlatform desktop;
    EXPECT_EQ(desktop.showMessage(nullptr, text, QStringLiteral("Вокрин"), MessageIcon::Error,
                                  MessageButtons::Ok),
              MessageResult::Ok);
    EXPECT_EQ(shown, text);
    EXPECT_EQ(format, Qt::PlainText);
}

} // namespace
