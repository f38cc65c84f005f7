#include "authoring/page_control.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace vokrin::authoring {

TPageControl::TPageControl(QWidget *parent)
    : QWidget(parent), m_tabRow(new QHBoxLayout), m_tabs(new QButtonGroup(this)),
      m_pages(new QStackedWidget(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    m_tabRow->setSpacing(2);
    m_tabRow->addStretch(1);
    layout->addLayout(m_tabRow);
    layout->addWidget(m_pages, 1);
    m_tabs->setExclusive(true);
    connect(m_tabs, &QButtonGroup::idClicked, this, &TPageControl::setCurrentIndex);
}

int TPageControl::addPage(QWidget *page, const QString &caption)
{
    const int index = m_pages->addWidget(page);
    auto *tab = new QToolButton(this);
    tab->setText(caption);
    tab->setCheckable(true);
    tab->setAutoRaise(true); // flat until the mouse is over it
    tab->setFocusPolicy(Qt::NoFocus);
    tab->setObjectName(page->objectName() + QStringLiteral("Tab"));
    m_tabs->addButton(tab, index);
    m_tabRow->insertWidget(index, tab);
    if (index == m_pages->currentIndex())
        tab->setChecked(true);
    return index;
}

int TPageControl::count() const
{
    return m_pages->count();
}

QWidget *TPageControl::page(int index) const
{
    return m_pages->widget(index);
}

QAbstractButton *TPageControl::tab(int index) const
{
    return m_tabs->button(index);
}

int TPageControl::currentIndex() const
{
    return m_pages->currentIndex();
}

void TPageControl::setCurrentIndex(int index)
{
    const int previous = m_pages->currentIndex();
    if (index < 0 || index >= m_pages->count())
        return;
    if (QAbstractButton *button = m_tabs->button(index))
        button->setChecked(true);
    if (index == previous)
        return;
    m_pages->setCurrentIndex(index);
    Q_EMIT currentChanged(previous, index);
}

} // namespace vokrin::authoring
