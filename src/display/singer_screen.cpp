#include "singer_screen.h"

#include "lyric_list.h"
#include "tcolor.h"

#include <QCloseEvent>
#include <QFontInfo>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <algorithm>

namespace vokrin::display {

namespace {

// How many of the widest lines (at the list's size) are measured again at each candidate
// size: hinting may reorder lines of nearly equal width, but not by much.
constexpr std::size_t kMeasuredLines = 8;
// Room left free at each side, in parts of the width.
constexpr int kSideMarginDivisor = 32;
// The font is at most a sixth of the height, so that a few lines after the lit one show.
constexpr int kRowsAtLeast = 6;

} // namespace

SingerScreen::SingerScreen(const TLyricListBox &source, QWidget *parent)
    : QWidget(parent, Qt::Window), m_source(source)
{
    setWindowTitle(QStringLiteral("Вокрин — экран певца"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::StrongFocus);
    takeSettings();
    takeLitLine();
    connect(&source, &TLyricListBox::displayChanged, this, &SingerScreen::takeSettings);
    connect(&source, &QListWidget::itemSelectionChanged, this, &SingerScreen::takeLitLine);
    const QAbstractItemModel *model = source.model();
    connect(model, &QAbstractItemModel::rowsInserted, this, &SingerScreen::linesChanged);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &SingerScreen::linesChanged);
    connect(model, &QAbstractItemModel::rowsMoved, this, &SingerScreen::linesChanged);
    connect(model, &QAbstractItemModel::modelReset, this, &SingerScreen::linesChanged);
    connect(model, &QAbstractItemModel::layoutChanged, this, &SingerScreen::linesChanged);
    connect(model, &QAbstractItemModel::dataChanged, this, &SingerScreen::linesChanged);
}

void SingerScreen::openOn(QScreen *screen, bool fullScreen)
{
    setScreen(screen);
    const QRect area = screen->geometry();
    if (fullScreen) {
        setCursor(Qt::BlankCursor);
        setGeometry(area);
        showFullScreen();
        return;
    }
    const QRect available = screen->availableGeometry();
    const QSize size(available.width() * 2 / 3, available.height() * 2 / 3);
    setGeometry(QRect(available.center() - QPoint(size.width() / 2, size.height() / 2), size));
    showNormal();
}

void SingerScreen::takeSettings()
{
    m_background = QColor(rgbFromTColor(m_source.color()));
    m_text = m_source.fontColor();
    m_hint = QColor(rgbFromTColor(m_source.tag()));
    if (m_listFont != m_source.font()) {
        m_listFont = m_source.font();
        m_linesStale = true; // the widest lines are measured in the list's font
    }
    m_layoutStale = true;
    update();
}

void SingerScreen::takeLitLine()
{
    const int lit = m_source.litLine();
    if (lit == m_litLine)
        return;
    m_litLine = lit;
    update();
}

void SingerScreen::linesChanged()
{
    m_linesStale = true;
    m_layoutStale = true;
    update();
}

void SingerScreen::takeLines()
{
    m_lines.clear();
    const int count = m_source.count();
    m_lines.reserve(count);
    for (int i = 0; i < count; ++i)
        m_lines.append(m_source.item(i)->text());

    const QFontMetrics metrics(m_listFont);
    std::vector<std::pair<int, int>> widths; // width, line
    widths.reserve(std::size_t(count));
    for (int i = 0; i < count; ++i)
        widths.emplace_back(metrics.horizontalAdvance(m_lines[i]), i);
    const std::size_t kept = std::min(widths.size(), kMeasuredLines);
    std::partial_sort(widths.begin(), widths.begin() + std::ptrdiff_t(kept), widths.end(),
                      [](const auto &a, const auto &b) { return a.first > b.first; });
    m_widest.clear();
    for (std::size_t i = 0; i < kept; ++i)
        m_widest.push_back(widths[i].second);
    m_linesStale = false;
}

void SingerScreen::layOut()
{
    if (m_linesStale)
        takeLines();
    if (!m_layoutStale)
        return;
    const int minimum = std::max(1, QFontInfo(m_listFont).pixelSize());
    const int maximum = height() / kRowsAtLeast;
    const int width = this->width() - 2 * (this->width() / kSideMarginDivisor);
    QFont candidate = m_listFont;
    const int size = fittingPixelSize(
        [&](int pixelSize) {
            candidate.setPixelSize(pixelSize);
            const QFontMetrics metrics(candidate);
            int widest = 0;
            for (int line : m_widest)
                widest = std::max(widest, metrics.horizontalAdvance(m_lines[line]));
            return widest;
        },
        width, minimum, maximum);
    m_font = m_listFont;
    m_font.setPixelSize(size);
    m_rowHeight = std::max(1, QFontMetrics(m_font).lineSpacing());
    m_layoutStale = false;
}

int SingerScreen::rowCount()
{
    layOut();
    // Half a row free at the top; the last row may be cut by the bottom edge.
    return std::max(1, (height() - m_rowHeight / 2 + m_rowHeight - 1) / m_rowHeight);
}

SingerRows SingerScreen::rows()
{
    return singerRows(m_litLine, rowCount());
}

int SingerScreen::lineAtRow(int row)
{
    const int line = rows().firstLine + row;
    return line >= 0 && line < m_lines.size() ? line : -1;
}

int SingerScreen::rowTop(int row)
{
    layOut();
    return m_rowHeight / 2 + row * m_rowHeight;
}

int SingerScreen::rowHeight()
{
    layOut();
    return m_rowHeight;
}

const QFont &SingerScreen::screenFont()
{
    layOut();
    return m_font;
}

void SingerScreen::paintEvent(QPaintEvent *)
{
    layOut();
    QPainter painter(this);
    painter.fillRect(rect(), m_background);
    painter.setFont(m_font);
    const int count = rowCount();
    const SingerRows layout = singerRows(m_litLine, count);
    for (int row = 0; row < count; ++row) {
        const int line = layout.firstLine + row;
        if (line < 0 || line >= m_lines.size())
            continue;
        painter.setPen(layout.lit && row == layout.litRow ? m_hint : m_text);
        const QRect place(0, rowTop(row), width(), m_rowHeight);
        painter.drawText(place, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine,
                         m_lines[line]);
    }
}

void SingerScreen::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_layoutStale = true;
}

void SingerScreen::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_F11) {
        close();
        return;
    }
    Q_EMIT otherKey(*event);
    QWidget::keyPressEvent(event);
}

void SingerScreen::closeEvent(QCloseEvent *event)
{
    Q_EMIT closing(screen() ? screen()->name() : QString());
    event->accept();
}

} // namespace vokrin::display
