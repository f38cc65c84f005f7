// The font dialog with its text-colour box, answered by the test as a user would.
#include "platform/font_dialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTranslator>
#include <gtest/gtest.h>

namespace {

// Runs `answer` on the dialog once it is open.
void whenOpen(std::function<void(QDialog &)> answer)
{
    QTimer::singleShot(0, [answer] {
        for (QWidget *window : QApplication::topLevelWidgets()) {
            auto *dialog = qobject_cast<QDialog *>(window);
            if (dialog != nullptr && dialog->isVisible() &&
                dialog->findChild<QComboBox *>(QStringLiteral("textColor")) != nullptr) {
                answer(*dialog);
                return;
            }
        }
        ADD_FAILURE() << "no font dialog open";
    });
}

TEST(FontDialog, OffersTheInitialFontAndColourAndReturnsTheChoice)
{
    QFont initial(QStringLiteral("Liberation Mono"));
    initial.setPixelSize(24);
    initial.setBold(true);

    QColor offered;
    QFont shown;
    whenOpen([&](QDialog &dialog) {
        auto *colors = dialog.findChild<QComboBox *>(QStringLiteral("textColor"));
        offered = colors->currentData().value<QColor>();
        shown = dialog.findChild<QFontDialog *>()->currentFont();
        colors->setCurrentIndex(colors->findText(QStringLiteral("Красный")));
        dialog.accept();
    });
    const auto chosen = vokrin::platform::runFontDialog(nullptr, {initial, QColor(Qt::white)});
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(offered, QColor(Qt::white));
    EXPECT_EQ(shown.family(), initial.family());
    EXPECT_TRUE(shown.bold());
    EXPECT_FALSE(shown.italic());
    EXPECT_EQ(chosen->font.family(), initial.family());
    EXPECT_EQ(chosen->color, QColor(Qt::red));
}

TEST(FontDialog, AColourOutsideThePaletteStaysChoosableAndCancelGivesNothing)
{
    const QColor stored(0x12, 0x34, 0x56);
    QColor offered;
    whenOpen([&](QDialog &dialog) {
        offered = dialog.findChild<QComboBox *>(QStringLiteral("textColor"))
                      ->currentData()
                      .value<QColor>();
        dialog.reject();
    });
    EXPECT_FALSE(vokrin::platform::runFontDialog(nullptr, {QFont(), stored}).has_value());
    EXPECT_EQ(offered, stored);
}

TEST(FontDialog, AFamilyTheSystemLacksOpensOnTheFaceThatIsDrawn)
{
    // The program runs with Qt's Russian texts, which the dialog's style lookup meets.
    QTranslator russian;
    ASSERT_TRUE(russian.load(QStringLiteral("qtbase_ru"),
                             QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
    QApplication::installTranslator(&russian);

    QFont missing(QStringLiteral("Vokrin No Such Family"));
    missing.setPixelSize(24);
    missing.setBold(true);
    QFont shown;
    whenOpen([&](QDialog &dialog) {
        shown = dialog.findChild<QFontDialog *>()->currentFont();
        dialog.reject();
    });
    vokrin::platform::runFontDialog(nullptr, {missing, Qt::white});
    EXPECT_EQ(shown.family(), QFontInfo(missing).family());
    EXPECT_NE(shown.family(), missing.family());
    EXPECT_TRUE(shown.bold());
    EXPECT_FALSE(shown.italic());
    QApplication::removeTranslator(&russian);
    QApplication::removeTranslator(&russian);
}

TEST(FontDialog, EnterAndEscapeInTheFontListsAnswerTheWholeDialog)
{
    for (const auto &[key, accepted] : {std::pair{Qt::Key_Return, true}, {Qt::Key_Escape, false}}) {
        whenOpen([key](QDialog &dialog) {
            // In the family list and in the family name box after a completed name.
            auto *fonts = dialog.findChild<QFontDialog *>();
            auto *nameBox = fonts->findChildren<QLineEdit *>().value(0);
            ASSERT_NE(nameBox, nullptr);
            nameBox->setText(QStringLiteral("Liberation Se"));
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
            QApplication::sendEvent(nameBox, &press);
            if (dialog.isVisible()) {
                ADD_FAILURE() << "the key did not end the dialog";
                dialog.reject();
            }
        });
        EXPECT_EQ(vokrin::platform::runFontDialog(nullptr, {QFont(), Qt::white}).has_value(),
                  accepted);
    }

    // Enter on the focused cancel button cancels.
    whenOpen([](QDialog &dialog) {
        auto *buttons = dialog.findChild<QDialogButtonBox *>();
        QPushButton *cancel = buttons->button(QDialogButtonBox::Cancel);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(cancel, &press);
        if (dialog.isVisible()) {
            ADD_FAILURE() << "Enter on the cancel button did not end the dialog";
            dialog.accept();
        }
    });
    EXPECT_FALSE(vokrin::platform::runFontDialog(nullptr, {QFont(), Qt::white}).has_value());
}

} // namespace
