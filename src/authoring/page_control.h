#pragma once

#include <QWidget>

class QAbstractButton;
class QButtonGroup;
class QHBoxLayout;
class QStackedWidget;

namespace vokrin::authoring {

// Pages with their tabs drawn as flat, hot-tracked buttons in a row above them; a click
// on a tab shows its page. currentChanged tells which page was left and which entered,
// so the window can run its leave and enter steps in that order.
class TPageControl : public QWidget
{
    Q_OBJECT

public:
    explicit TPageControl(QWidget *parent = nullptr);

    // Adds a page with its tab caption; returns its index.
    int addPage(QWidget *page, const QString &caption);
    int count() const;
    QWidget *page(int index) const;
    QAbstractButton *tab(int index) const;

    int currentIndex() const;
    void setCurrentIndex(int index);

Q_SIGNALS:
    void currentChanged(int previous, int current);

private:
    QHBoxLayout *m_tabRow;
    QButtonGroup *m_tabs;
    QStackedWidget *m_pages;
};

} // namespace vokrin::authoring
