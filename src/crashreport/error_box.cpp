#include "error_box.h"

#include "button_pictures.h"
#include "platform/platform.h"
#include "report_actions.h"

#include <QFont>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace vokrin::crashreport {
namespace {

constexpr int kMinimumWidth = 538;
constexpr int kReportHeight = 395;

QPushButton *makeButton(const QString &text, const char *objectName, const char *picture,
                        QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setIcon(buttonPicture(QLatin1String(picture)));
    button->setObjectName(QLatin1String(objectName));
    button->setAutoDefault(false);
    return button;
}

} // namespace

ErrorBox::ErrorBox(const QString &title, ReportContext context, bool canContinue, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_context(std::move(context)), m_canContinue(canContinue)
{
    setObjectName(QStringLiteral("ErrorBox"));
    setWindowTitle(title);
    setModal(true);
    QFont boxFont(QStringLiteral("MS Sans Serif"));
    boxFont.setStyleHint(QFont::SansSerif);
    boxFont.setPixelSize(12);
    setFont(boxFont);

    auto *message = new QLabel(this);
    message->setTextFormat(Qt::PlainText);
    message->setText(QStringLiteral("An error occurred in the application."));
    message->setObjectName(QStringLiteral("message"));

    auto *mail = makeButton(QStringLiteral("E-mail error"), "mailButton", "MEIMAIL", this);
    auto *save = makeButton(QStringLiteral("Save error"), "saveButton", "MEISAVE", this);
    auto *print = makeButton(QStringLiteral("Print error"), "printButton", "MEIPRINT", this);
    auto *goOn = makeButton(QStringLiteral("Continue"), "continueButton",
                            m_canContinue ? "MEICONTINUE" : "MEICANTCONTINUE", this);
    auto *restart = makeButton(QStringLiteral("Restart"), "restartButton", "MEIRESTART", this);
    auto *close = makeButton(QStringLiteral("Close"), "closeButton", "MEICLOSE", this);
    goOn->setEnabled(m_canContinue);
    (m_canContinue ? goOn : close)->setDefault(true);

    connect(mail, &QPushButton::clicked, this, [this] { mailReport(this, m_context); });
    connect(save, &QPushButton::clicked, this, [this] { saveReportAs(this, m_context); });
    connect(print, &QPushButton::clicked, this, [this] { printReport(this, m_context); });
    connect(goOn, &QPushButton::clicked, this, [this] { finish(BoxChoice::Continue); });
    connect(restart, &QPushButton::clicked, this, [this] { finish(BoxChoice::Restart); });
    connect(close, &QPushButton::clicked, this, [this] { finish(BoxChoice::Close); });

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(mail);
    buttons->addWidget(save);
    buttons->addWidget(print);
    buttons->addStretch(1);
    buttons->addWidget(goOn);
    buttons->addWidget(restart);
    buttons->addWidget(close);

    m_reportField = new QPlainTextEdit(this);
    m_reportField->setObjectName(QStringLiteral("reportField"));
    m_reportField->setReadOnly(true);
    m_reportField->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont reportFont(QStringLiteral("Courier New"));
    reportFont.setStyleHint(QFont::TypeWriter);
    reportFont.setPixelSize(11);
    m_reportField->setFont(reportFont);
    QString shown = m_context.report;
    shown.remove(QLatin1Char('\r'));
    m_reportField->setPlainText(shown);
    m_reportField->setFixedHeight(kReportHeight);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(message);
    layout->addLayout(buttons);
    layout->addWidget(m_reportField);

    const QSize wanted = sizeHint().expandedTo(QSize(kMinimumWidth, 0));
    setFixedSize(wanted);
}

void ErrorBox::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_announced)
        return;
    m_announced = true;
    centreOnScreen();
    // The keyboard starts on the button Return would press.
    if (auto *preferred = findChild<QPushButton *>(m_canContinue ? QStringLiteral("continueButton")
                                                                 : QStringLiteral("closeButton")))
        preferred->setFocus();
    platform::platform().errorSound();
    platform::platform().setClipboardText(m_context.report);
}

void ErrorBox::reject()
{
    // Escape and the window manager's close go on only where "Continue" could.
    if (m_canContinue)
        finish(BoxChoice::Continue);
}

void ErrorBox::finish(BoxChoice choice)
{
    m_choice = choice;
    done(choice == BoxChoice::Continue ? QDialog::Accepted : QDialog::Rejected);
}

void ErrorBox::centreOnScreen()
{
    const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

BoxChoice runErrorBox(const QString &title, const ReportContext &context, bool canContinue)
{
    ErrorBox box(title, context, canContinue);
    box.exec();
    return box.choice();
}

} // namespace vokrin::crashreport
