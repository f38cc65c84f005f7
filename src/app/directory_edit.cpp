#include "app/directory_edit.h"

#include "platform/platform.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>

namespace vokrin::app {

TDirectoryEdit::TDirectoryEdit(QWidget *parent)
    : QWidget(parent), m_edit(new QLineEdit(this)), m_button(new QToolButton(this))
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(m_edit, 1);
    row->addWidget(m_button);
    m_button->setText(QStringLiteral("…"));
    m_button->setFocusPolicy(Qt::NoFocus);
    m_button->setFixedWidth(21);
    connect(m_button, &QToolButton::clicked, this, &TDirectoryEdit::chooseFolder);
    connect(m_edit, &QLineEdit::textChanged, this, [this] { Q_EMIT Change(this); });
}

QString TDirectoryEdit::text() const
{
    return m_edit->text();
}

void TDirectoryEdit::setText(const QString &text)
{
    m_edit->setText(text);
}

void TDirectoryEdit::chooseFolder()
{
    const QString start = text().isEmpty() ? QDir::homePath() : text();
    if (const auto folder = vokrin::platform::platform().chooseFolder(window(), QString(), start))
        setText(QDir::toNativeSeparators(*folder));
}

} // namespace vokrin::app
