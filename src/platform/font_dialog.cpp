#include "font_dialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QVBoxLayout>

namespace vokrin::platform {

namespace {

struct NamedColor
{
    const char16_t *name;
    QRgb rgb;
};

// The sixteen colours the classic font dialog offers for text.
constexpr NamedColor kTextColors[] = {
    {u"Чёрный", 0x000000},       {u"Бордовый", 0x800000},    {u"Зелёный", 0x008000},
    {u"Оливковый", 0x808000},    {u"Тёмно-синий", 0x000080}, {u"Фиолетовый", 0x800080},
    {u"Сине-зелёный", 0x008080}, {u"Серый", 0x808080},       {u"Серебристый", 0xC0C0C0},
    {u"Красный", 0xFF0000},      {u"Лайм", 0x00FF00},        {u"Жёлтый", 0xFFFF00},
    {u"Синий", 0x0000FF},        {u"Фуксия", 0xFF00FF},      {u"Голубой", 0x00FFFF},
    {u"Белый", 0xFFFFFF},
};

// The embedded font dialog takes Enter and Esc for itself (its lists answer them by
// hiding it inside the window, its name box keeps them); they belong to the window
// around it, so they are caught before any control inside sees them.
class DialogKeys : public QObject
{
public:
    explicit DialogKeys(QDialog &dialog) : QObject(&dialog), m_dialog(dialog)
    {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto *widget = qobject_cast<QWidget *>(watched);
        if (widget == nullptr || !m_dialog.isAncestorOf(widget))
            return false;
        // A focused button answers the key itself ("Отмена" cancels on Enter).
        if (qobject_cast<QAbstractButton *>(widget) != nullptr)
            return false;
        switch (static_cast<QKeyEvent *>(event)->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            m_dialog.accept();
            return true;
        case Qt::Key_Escape:
            m_dialog.reject();
            return true;
        default:
            return false;
        }
    }

private:
    QDialog &m_dialog;
};

// The family's face of the font's weight and slant at normal width ("Bold", not
// "Bold Oblique" or "Condensed Bold"); empty when the family has none.
QString matchingStyle(const QFont &font)
{
    for (const QString &style : QFontDatabase::styles(font.family())) {
        const QFont face = QFontDatabase::font(font.family(), style, 12);
        const int stretch = face.stretch();
        if (face.bold() == font.bold() && face.style() == font.style() &&
            (stretch == QFont::AnyStretch || stretch == QFont::Unstretched))
            return style;
    }
    return {};
}

QIcon swatch(const QColor &color)
{
    QPixmap picture(16, 12);
    picture.fill(color);
    QPainter painter(&picture);
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, picture.width() - 1, picture.height() - 1);
    return QIcon(picture);
}

void fillColorBox(QComboBox &box, const QColor &initial)
{
    for (const NamedColor &entry : kTextColors) {
        const QColor color = QColor::fromRgb(entry.rgb);
        box.addItem(swatch(color), QString::fromUtf16(entry.name), color);
    }
    const int found = box.findData(initial.toRgb());
    if (found >= 0) {
        box.setCurrentIndex(found);
        return;
    }
    // A colour from elsewhere (the settings file) stays choosable as it is.
    box.addItem(swatch(initial), QStringLiteral("Другой"), initial);
    box.setCurrentIndex(box.count() - 1);
}

} // namespace

std::optional<FontChoice> runFontDialog(QWidget *parent, const FontChoice &initial)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Шрифт"));

    // A family the system does not have ("Courier New") is shown as the face that is
    // actually drawn, so the lists open on it rather than on a generic default.
    QFont shown = initial.font;
    if (!QFontDatabase::hasFamily(shown.family()))
        shown.setFamily(QFontInfo(shown).family());
    // The dialog finds the face by its style name, which it compares with translated
    // texts; name the face outright so a bold font does not open as bold italic.
    shown.setStyleName(matchingStyle(shown));
    auto *fonts = new QFontDialog(shown, &dialog);
    fonts->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    fonts->setWindowFlags(Qt::Widget);
    new DialogKeys(dialog);

    auto *colors = new QComboBox(&dialog);
    colors->setObjectName(QStringLiteral("textColor"));
    fillColorBox(*colors, initial.color.isValid() ? initial.color : QColor(Qt::black));
    auto *colorLabel = new QLabel(QStringLiteral("&Цвет:"), &dialog);
    colorLabel->setBuddy(colors);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);

    auto *colorRow = new QHBoxLayout;
    colorRow->addWidget(colorLabel);
    colorRow->addWidget(colors, 1);
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(fonts);
    layout->addLayout(colorRow);
    layout->addWidget(buttons);

    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return FontChoice{fonts->currentFont(), colors->currentData().value<QColor>()};
}

} // namespace vokrin::platform
