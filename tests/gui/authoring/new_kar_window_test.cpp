// The window itself: its texts, its size, its pages, and what every showing resets.
#include "wizard_fixture.h"

#include "plain_text_check.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

namespace vokrin::authoring::testing {
namespace {

template <typename T> T *component(QWidget *window, const char *name)
{
    T *found = window->findChild<T *>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

TEST_F(WizardTest, WindowHasItsCaptionSizeAndPages)
{
    EXPECT_EQ(wizard->windowTitle(), QStringLiteral("Мастер создания фонограммы"));
    EXPECT_EQ(wizard->size(), QSize(688, 453));
    EXPECT_EQ(wizard->minimumSize(), wizard->maximumSize()) << "a fixed dialog border";
    EXPECT_TRUE(wizard->isModal());
    const QStringList pages = {QStringLiteral("Загрузка фонограммы"),
                               QStringLiteral("Загрузка текста"),
                               QStringLiteral("Настройка подсказки"), QStringLiteral("Сохранение")};
    ASSERT_EQ(wizard->PageControl1->count(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(wizard->PageControl1->tab(i)->text(), pages[i]);
}

TEST_F(WizardTest, EveryComponentCarriesItsText)
{
    const struct
    {
        const char *name;
        QString text;
    } buttons[] = {
        {"SpeedButton1", QStringLiteral("Прослушать")},
        {"BitBtn1", QStringLiteral("Дальше")},
        {"BitBtn6", QStringLiteral("Отменить")},
        {"BitBtn2", QStringLiteral("Дальше")},
        {"BitBtn7", QStringLiteral("Отменить")},
        {"SpeedButton2", QStringLiteral("Старт фонограммы")},
        {"SpeedButton3", QStringLiteral("Поставить метку подсказки")},
        {"BitBtn3", QStringLiteral("Дальше")},
        {"BitBtn8", QStringLiteral("Отменить")},
        {"BitBtn11", QStringLiteral("Сохранить")},
        {"BitBtn5", QStringLiteral("Завершить")},
        {"BitBtn9", QStringLiteral("Отменить")},
    };
    for (const auto &b : buttons) {
        if (QPushButton *button = component<QPushButton>(wizard.get(), b.name)) {
            EXPECT_EQ(button->text(), b.text) << b.name;
        }
    }
    const struct
    {
        const char *name;
        QString text;
    } labels[] = {
        {"Label1", QStringLiteral("Файл фонограммы:")},
        {"Label2", QStringLiteral("Файл текста:")},
        {"Label3", QStringLiteral("Файл набора:")},
        {"RxLabel5", QStringLiteral("Имя файла фонограммы")},
        {"RxLabel4", QStringLiteral("Время вопроизведения: ")},
    };
    for (const auto &l : labels) {
        if (QLabel *label = component<QLabel>(wizard.get(), l.name)) {
            EXPECT_EQ(label->text(), l.text) << l.name;
        }
    }

    EXPECT_TRUE(wizard->SpeedButton1->isCheckable());
    EXPECT_TRUE(wizard->SpeedButton2->isCheckable());
    EXPECT_FALSE(wizard->SpeedButton3->isCheckable());
    EXPECT_TRUE(wizard->BitBtn5->isDefault());
    EXPECT_EQ(wizard->Memo1->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(wizard->Memo1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
}

TEST_F(WizardTest, FileBoxesAskWithTheirFiltersAndExtensions)
{
    const struct
    {
        TFilenameEdit *box;
        QString filter;
        QString extension;
        bool overwritePrompt;
    } cases[] = {
        {wizard->FilenameEdit1, QStringLiteral("Sound files|*.WAV;*.MP3;*.MP2;*.MP1;*.OGG"),
         QStringLiteral("mp3"), false},
        {wizard->FilenameEdit2,
         QStringLiteral("Файлы текстов|*.txt|Тексты LRC|*.lrc|Все тексты|*.txt;*.lrc"),
         QStringLiteral("txt"), false},
        {wizard->FilenameEdit3, QStringLiteral("Файлы Lyrano|*.lyp"), QStringLiteral("lyp"), true},
    };
    for (const auto &c : cases)
        c.box->dialogButton()->click(); // each dialog is cancelled: no answers
    std::vector<platform::FileDialogOptions> asked = desktop.openFileRequests;
    asked.insert(asked.end(), desktop.saveFileRequests.begin(), desktop.saveFileRequests.end());
    ASSERT_EQ(asked.size(), 3u);
    EXPECT_EQ(desktop.saveFileRequests.size(), 1u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(asked[i].filter, cases[i].filter);
        EXPECT_EQ(asked[i].defaultSuffix, cases[i].extension);
        EXPECT_EQ(asked[i].overwritePrompt, cases[i].overwritePrompt);
    }
}

TEST_F(WizardTest, TheTextLoadsOnlyThroughTheDialog)
{
    loadText("first\r\nsecond\rthird\nfourth");
    EXPECT_EQ(wizard->textLines(), (QStringList{"first", "second", "third", "fourth"}));

    // Typing a path loads nothing; a cancelled dialog leaves the text alone.
    wizard->FilenameEdit2->setFileName(writeText("other.txt", "other\n"));
    EXPECT_EQ(wizard->textLines().size(), 4);
    wizard->FilenameEdit2->runDialog();
    EXPECT_EQ(wizard->textLines().size(), 4);

    // A file that cannot be read raises its error and leaves the text as it was.
    EXPECT_THROW(wizard->FilenameEdit2AfterDialog(pathIn("missing.txt"), true), std::runtime_error);
    EXPECT_EQ(wizard->textLines().size(), 4);

    // A zero byte ends the text.
    loadText(QByteArray("kept\nalso kept\0lost\n", 20));
    EXPECT_EQ(wizard->textLines(), (QStringList{"kept", "also kept"}));
}

TEST_F(WizardTest, EveryShowingStartsAfresh)
{
    prepareTake("a\nb\n");
    wizard->SpeedButton2->click();
    tapMarks(2, 100);
    wizard->BitBtn3->click();
    wizard->BitBtn11->click();
    ASSERT_TRUE(wizard->saved());
    wizard->BitBtn9->click();
    ASSERT_FALSE(wizard->isVisible());

    wizard->show();
    EXPECT_EQ(wizard->PageControl1->currentIndex(), TFormNewKar::TabSheet1);
    EXPECT_TRUE(wizard->FilenameEdit1->fileName().isEmpty());
    EXPECT_TRUE(wizard->FilenameEdit2->fileName().isEmpty());
    EXPECT_TRUE(wizard->FilenameEdit3->fileName().isEmpty());
    EXPECT_TRUE(wizard->Memo1->toPlainText().isEmpty());
    EXPECT_EQ(wizard->ListBox1->count(), 0);
    EXPECT_TRUE(wizard->marks().empty());
    EXPECT_EQ(wizard->markPointer(), -1);
    EXPECT_FALSE(wizard->saved());

    // Marks before any take of this showing start again at the first line.
    wizard->PageControl1->setCurrentIndex(TFormNewKar::TabSheet3);
    wizard->SpeedButton3->click();
    EXPECT_EQ(selectedLine(), 0);
}

TEST_F(WizardTest, EscapeAndTheCloseBoxCancel)
{
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(wizard.get(), &escape);
    EXPECT_FALSE(wizard->isVisible());
    EXPECT_EQ(wizard->result(), QDialog::Rejected);

    wizard->show();
    wizard->SpeedButton1->setChecked(true); // as if a preview were playing
    wizard->close();
    EXPECT_FALSE(wizard->isVisible());
    EXPECT_EQ(wizard->result(), QDialog::Rejected);
    EXPECT_FALSE(wizard->SpeedButton1->isChecked());
}

TEST_F(WizardTest, RunsModallyAndResetsOnEveryRun)
{
    wizard->hide();
    wizard->FilenameEdit1->setFileName(QStringLiteral("/left/over.mp3"));
    wizard->PageControl1->setCurrentIndex(TFormNewKar::TabSheet4);
    bool resetWhenShown = false;
    QTimer::singleShot(0, wizard.get(), [this, &resetWhenShown] {
        resetWhenShown = wizard->FilenameEdit1->fileName().isEmpty() &&
                         wizard->PageControl1->currentIndex() == TFormNewKar::TabSheet1;
        wizard->BitBtn6->click();
    });
    EXPECT_EQ(wizard->exec(), QDialog::Rejected);
    EXPECT_TRUE(resetWhenShown);
}

TEST_F(WizardTest, TheKeyboardMakesAProjectWhileTheMouseTapsTheTake)
{
    wizard->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(wizard.get()));
    const auto press = [](Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); };
    const auto type = [](const QString &text) {
        QTest::keyClicks(QApplication::focusWidget(), text);
    };
    EXPECT_EQ(QApplication::focusWidget(), wizard->FilenameEdit1->lineEdit());
    type(audioPath);
    // Past the box's own dialog button and the preview speed button, neither of which
    // takes the focus.
    press(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), wizard->BitBtn1);
    press(Qt::Key_Space);
    ASSERT_EQ(wizard->PageControl1->currentIndex(), TFormNewKar::TabSheet2);
    EXPECT_EQ(QApplication::focusWidget(), wizard->FilenameEdit2->lineEdit());
    press(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), wizard->Memo1);
    type(QStringLiteral("one"));
    press(Qt::Key_Return);
    type(QStringLiteral("two"));
    press(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), wizard->BitBtn2);
    press(Qt::Key_Space);
    ASSERT_EQ(wizard->PageControl1->currentIndex(), TFormNewKar::TabSheet3);
    // The speed buttons never take the focus: the page starts on its line list, and the
    // take and its marks are clicked with the mouse.
    EXPECT_EQ(QApplication::focusWidget(), wizard->ListBox1);
    QTest::mouseClick(wizard->SpeedButton2, Qt::LeftButton);
    ASSERT_TRUE(wizard->SpeedButton2->isChecked());
    EXPECT_EQ(QApplication::focusWidget(), wizard->ListBox1);
    press(Qt::Key_Space);
    EXPECT_TRUE(wizard->SpeedButton2->isChecked()) << "Space does not end the take";
    EXPECT_EQ(BASS_ChannelIsActive(player.streamHandle()), static_cast<DWORD>(BASS_ACTIVE_PLAYING));
    for (int i = 0; i < 2; ++i) {
        advance(1000);
        QTest::mouseClick(wizard->SpeedButton3, Qt::LeftButton);
    }
    EXPECT_EQ(QApplication::focusWidget(), wizard->ListBox1);
    press(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), wizard->BitBtn3);
    press(Qt::Key_Space);
    ASSERT_EQ(wizard->PageControl1->currentIndex(), TFormNewKar::TabSheet4);
    const QString projectPath = wizard->FilenameEdit3->fileName();
    // Enter presses the default button: save, then decline the catalogue.
    desktop.messageAnswers = {platform::MessageResult::Cancel};
    press(Qt::Key_Return);
    EXPECT_FALSE(wizard->isVisible());
    EXPECT_EQ(wizard->result(), QDialog::Accepted);
    const content::SongProject project = readProject(projectPath);
    EXPECT_EQ(project.cues, (QList<quint32>{1000 * kBytesPerFrame, 2000 * kBytesPerFrame}));
    EXPECT_EQ(project.lines, (QList<QByteArray>{"one", "two"}));
}

// Names are data: the audio file's path is shown as it is, markup and all.
TEST_F(WizardTest, AnAudioPathHoldingMarkupShowsItsAngleBrackets)
{
    std::filesystem::create_directory(dir / "<b>x<");
    ASSERT_TRUE(fixtures::writeWav(dir / "<b>x<" / "b>.wav", fixtures::silence(kRate, 2, 2)));
    audioPath = pathIn("<b>x</b>.wav");
    prepareTake("one\ntwo\n");
    EXPECT_EQ(wizard->RxLabel5->text(), audioPath);
    EXPECT_EQ(vokrin::testing::labelsTakingMarkup(*wizard), QStringList());
}

} // namespace
} // namespace vokrin::authoring::testing
