#include "authoring/new_kar.h"

#include "authoring/filename_edit.h"
#include "authoring/page_control.h"
#include "authoring/sound_filter.h"
#include "controls/rx_label.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

using vokrin::controls::TRxLabel;

namespace vokrin::authoring {

namespace {

QPushButton *makeButton(const char *name, const QString &caption, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    // Only the finishing button is the dialog's default; Enter elsewhere must not
    // close the wizard through some other button.
    button->setAutoDefault(false);
    return button;
}

// A speed button: clicked with the mouse, never the keyboard's. Holding the focus, it
// would take the Space meant for nothing and end a running take.
QPushButton *makeSpeedButton(const char *name, const QString &caption, QWidget *parent)
{
    QPushButton *button = makeButton(name, caption, parent);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

QPushButton *makeSpeedToggle(const char *name, const QString &caption, QWidget *parent)
{
    QPushButton *button = makeSpeedButton(name, caption, parent);
    button->setCheckable(true);
    return button;
}

QLabel *makeLabel(const char *name, const QString &caption, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText); // file names are shown here, and a name is data
    label->setText(caption);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

// The row of buttons at the foot of a page, to the right.
QHBoxLayout *footRow(std::initializer_list<QPushButton *> buttons)
{
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    for (QPushButton *button : buttons)
        row->addWidget(button);
    return row;
}

} // namespace

TFormNewKar::TFormNewKar(audio::Player &player, Hooks hooks, QWidget *parent)
    : QDialog(parent), m_player(player), m_hooks(std::move(hooks))
{
    setObjectName(QStringLiteral("FormNewKar"));
    setWindowTitle(QStringLiteral("Мастер создания фонограммы"));
    // A fixed dialog border: no resizing, no minimise or maximise box.
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setModal(true);
    buildWindow();
    setFixedSize(kClientWidth, kClientHeight);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TFormNewKar::Timer1Timer);
}

TFormNewKar::~TFormNewKar() = default;

void TFormNewKar::buildWindow()
{
    PageControl1 = new TPageControl(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(PageControl1);

    TabSheet1Page = buildAudioPage();
    TabSheet2Page = buildTextPage();
    TabSheet3Page = buildMarkPage();
    TabSheet4Page = buildSavePage();
    PageControl1->addPage(TabSheet1Page, QStringLiteral("Загрузка фонограммы"));
    PageControl1->addPage(TabSheet2Page, QStringLiteral("Загрузка текста"));
    PageControl1->addPage(TabSheet3Page, QStringLiteral("Настройка подсказки"));
    PageControl1->addPage(TabSheet4Page, QStringLiteral("Сохранение"));
    connect(PageControl1, &TPageControl::currentChanged, this, &TFormNewKar::pageChanged);

    // Every cancel button closes the wizard with the result Cancel; Escape does the same
    // through the dialog's own reject.
    for (QPushButton *cancel : {BitBtn6, BitBtn7, BitBtn8, BitBtn9})
        connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(BitBtn1, &QPushButton::clicked, this, &TFormNewKar::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TFormNewKar::BitBtn2Click);
    connect(BitBtn3, &QPushButton::clicked, this, &TFormNewKar::BitBtn3Click);
    connect(SpeedButton1, &QPushButton::clicked, this, &TFormNewKar::SpeedButton1Click);
    connect(SpeedButton2, &QPushButton::clicked, this, &TFormNewKar::SpeedButton2Click);
    connect(SpeedButton3, &QPushButton::clicked, this, &TFormNewKar::SpeedButton3Click);
    connect(FilenameEdit2, &TFilenameEdit::afterDialog, this,
            &TFormNewKar::FilenameEdit2AfterDialog);
    connect(BitBtn11, &QPushButton::clicked, this, &TFormNewKar::BitBtn11Click);
    connect(BitBtn5, &QPushButton::clicked, this, &TFormNewKar::BitBtn5Click);
}

QWidget *TFormNewKar::buildAudioPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet1"));
    FilenameEdit1 = new TFilenameEdit(TFilenameEdit::DialogKind::Open, page);
    FilenameEdit1->setObjectName(QStringLiteral("FilenameEdit1"));
    FilenameEdit1->setFilter(QString::fromUtf16(kSoundFileFilter));
    FilenameEdit1->setDefaultExt(QStringLiteral("mp3"));
    SpeedButton1 = makeSpeedToggle("SpeedButton1", QStringLiteral("Прослушать"), page);
    BitBtn1 = makeButton("BitBtn1", QStringLiteral("Дальше"), page);
    BitBtn6 = makeButton("BitBtn6", QStringLiteral("Отменить"), page);

    auto *layout = new QVBoxLayout(page);
    layout->addWidget(makeLabel("Label1", QStringLiteral("Файл фонограммы:"), page));
    auto *fileRow = new QHBoxLayout;
    fileRow->addWidget(FilenameEdit1, 1);
    fileRow->addWidget(SpeedButton1);
    layout->addLayout(fileRow);
    layout->addStretch(1);
    layout->addLayout(footRow({BitBtn1, BitBtn6}));
    return page;
}

QWidget *TFormNewKar::buildTextPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet2"));
    FilenameEdit2 = new TFilenameEdit(TFilenameEdit::DialogKind::Open, page);
    FilenameEdit2->setObjectName(QStringLiteral("FilenameEdit2"));
    // The plain texts first, as always; LRC texts and both kinds together besides
    // (UltraStar songs are .txt files).
    FilenameEdit2->setFilter(
        QStringLiteral("Файлы текстов|*.txt|Тексты LRC|*.lrc|Все тексты|*.txt;*.lrc"));
    FilenameEdit2->setDefaultExt(QStringLiteral("txt"));
    Memo1 = new QPlainTextEdit(page);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Tab moves on to the next control, as in any other box of the window.
    Memo1->setTabChangesFocus(true);
    BitBtn2 = makeButton("BitBtn2", QStringLiteral("Дальше"), page);
    BitBtn7 = makeButton("BitBtn7", QStringLiteral("Отменить"), page);

    auto *layout = new QVBoxLayout(page);
    layout->addWidget(makeLabel("Label2", QStringLiteral("Файл текста:"), page));
    layout->addWidget(FilenameEdit2);
    layout->addWidget(Memo1, 1);
    layout->addLayout(footRow({BitBtn2, BitBtn7}));
    return page;
}

QWidget *TFormNewKar::buildMarkPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet3"));
    RxLabel5 = new TRxLabel(QStringLiteral("Имя файла фонограммы"), page);
    RxLabel5->setObjectName(QStringLiteral("RxLabel5"));
    SpeedButton2 = makeSpeedToggle("SpeedButton2", QStringLiteral("Старт фонограммы"), page);
    SpeedButton3 =
        makeSpeedButton("SpeedButton3", QStringLiteral("Поставить метку подсказки"), page);
    RxLabel4 = new TRxLabel(QString::fromUtf16(kPlayTimePrefix), page);
    RxLabel4->setObjectName(QStringLiteral("RxLabel4"));
    ListBox1 = new QListWidget(page);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    BitBtn3 = makeButton("BitBtn3", QStringLiteral("Дальше"), page);
    BitBtn8 = makeButton("BitBtn8", QStringLiteral("Отменить"), page);

    auto *layout = new QVBoxLayout(page);
    layout->addWidget(RxLabel5);
    auto *controls = new QHBoxLayout;
    controls->addWidget(SpeedButton2);
    controls->addWidget(SpeedButton3);
    controls->addStretch(1);
    controls->addWidget(RxLabel4);
    layout->addLayout(controls);
    layout->addWidget(ListBox1, 1);
    layout->addLayout(footRow({BitBtn3, BitBtn8}));
    return page;
}

QWidget *TFormNewKar::buildSavePage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet4"));
    FilenameEdit3 = new TFilenameEdit(TFilenameEdit::DialogKind::Save, page);
    FilenameEdit3->setObjectName(QStringLiteral("FilenameEdit3"));
    FilenameEdit3->setFilter(QStringLiteral("Файлы Lyrano|*.lyp"));
    FilenameEdit3->setDefaultExt(QStringLiteral("lyp"));
    FilenameEdit3->setOverwritePrompt(true);
    BitBtn11 = makeButton("BitBtn11", QStringLiteral("Сохранить"), page);
    BitBtn5 = makeButton("BitBtn5", QStringLiteral("Завершить"), page);
    BitBtn5->setDefault(true);
    BitBtn9 = makeButton("BitBtn9", QStringLiteral("Отменить"), page);

    auto *layout = new QVBoxLayout(page);
    layout->addWidget(makeLabel("Label3", QStringLiteral("Файл набора:"), page));
    auto *fileRow = new QHBoxLayout;
    fileRow->addWidget(FilenameEdit3, 1);
    fileRow->addWidget(BitBtn11);
    layout->addLayout(fileRow);
    layout->addStretch(1);
    layout->addLayout(footRow({BitBtn5, BitBtn9}));
    return page;
}

void TFormNewKar::showEvent(QShowEvent *event)
{
    // The showing resets the wizard before its first paint.
    if (!event->spontaneous()) {
        centreOnScreen();
        FormShow();
    }
    QDialog::showEvent(event);
}

void TFormNewKar::centreOnScreen()
{
    const QScreen *screen =
        parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

void TFormNewKar::pageChanged(int previous, int current)
{
    if (previous == TabSheet1)
        TabSheet1Exit();
    else if (previous == TabSheet3)
        TabSheet3Exit();
    if (current == TabSheet3)
        TabSheet3Enter();
    else if (current == TabSheet4)
        TabSheet4Enter();
    focusFirstControl(current);
}

void TFormNewKar::focusFirstControl(int page)
{
    // The keyboard goes on where the page starts, not on a button of the page just
    // hidden.
    QWidget *const first[] = {FilenameEdit1, FilenameEdit2, ListBox1, FilenameEdit3};
    if (page >= 0 && page < static_cast<int>(std::size(first)))
        first[page]->setFocus(Qt::OtherFocusReason);
}

void TFormNewKar::showNextPage()
{
    PageControl1->setCurrentIndex(PageControl1->currentIndex() + 1);
}

void TFormNewKar::BitBtn1Click()
{
    showNextPage();
}

void TFormNewKar::BitBtn2Click()
{
    showNextPage();
}

void TFormNewKar::BitBtn3Click()
{
    showNextPage();
}

} // namespace vokrin::authoring
