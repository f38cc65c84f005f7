#include "singer_screen.h"

#include "lyric_list.h"
#include "tcolor.h"

#include <QCloseEvent>
#include <QFontInfo>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPaintEvent>
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
    const int before = m_litLine;
    m_litLine = lit;
    if (m_layoutStale || m_linesStale || !isVisible()) {
        update();
        return;
    }
    // The usual advance moves the text up by one row: the picture already shown is moved
    // and only the two rows that change colour and the row coming in are painted.
    const int count = rowCount();
    const SingerRows was = singerRows(before, count);
    const SingerRows now = singerRows(lit, count);
    const auto rowRect = [&](int row) { return QRect(0, rowTop(row), width(), m_rowHeight); };
    if (now.firstLine == was.firstLine) {
        update(rowRect(now.litRow));
    } else if (now.firstLine == was.firstLine + 1) {
        scroll(0, -m_rowHeight);
        update(QRect(0, 0, width(), rowTop(0))); // the margin above the first row
        update(rowRect(now.litRow - 1).united(rowRect(now.litRow)));
        update(rowRect(count - 1).united(QRect(0, rowTop(count), width(), height())));
    } else {
        update();
    }
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

    const QSize pictureSize(std::max(1, this->width()), m_rowHeight);
    m_pictures.assign(std::size_t(rowCount() + 1), {});
    for (LinePicture &picture : m_pictures)
        picture.image = QImage(pictureSize, QImage::Format_ARGB32_Premultiplied);
    m_litPicture = QImage(pictureSize, QImage::Format_ARGB32_Premultiplied);
    m_litPictureLine = -1;
}

const QImage &SingerScreen::linePicture(int line, int firstVisible, int rowCount)
{
    LinePicture *free = nullptr;
    for (LinePicture &picture : m_pictures) {
        if (picture.line == line)
            return picture.image;
        if (free == nullptr && (picture.line < 0 || picture.line < firstVisible ||
                                picture.line >= firstVisible + rowCount))
            free = &picture;
    }
    free->line = line;
    free->image.fill(Qt::transparent);
    QPainter painter(&free->image);
    painter.setFont(m_font);
    painter.setPen(m_text);
    painter.drawText(free->image.rect(), Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine,
                     m_lines[line]);
    return free->image;
}

const QImage &SingerScreen::litPicture(int line, int firstVisible, int rowCount)
{
    if (m_litPictureLine != line) {
        // The line's own picture recoloured: cheaper than drawing the outlines again.
        const QImage &plain = linePicture(line, firstVisible, rowCount);
        QPainter painter(&m_litPicture);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(0, 0, plain);
        painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        painter.fillRect(m_litPicture.rect(), m_hint);
        m_litPictureLine = line;
    }
    return m_litPicture;
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

void SingerScreen::paintEvent(QPaintEvent *event)
{
    layOut();
    QPainter painter(this);
    painter.fillRect(event->rect(), m_background);
    const int count = rowCount();
    const SingerRows layout = singerRows(m_litLine, count);
    for (int row = 0; row < count; ++row) {
        const int line = layout.firstLine + row;
        if (line < 0 || line >= m_lines.size() ||
            !event->region().intersects(QRect(0, rowTop(row), width(), m_rowHeight)))
            continue;
        const bool lit = layout.lit && row == layout.litRow;
        painter.drawImage(0, rowTop(row),
                          lit ? litPicture(line, layout.firstLine, count)
                              : linePicture(line, layout.firstLine, count));
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
