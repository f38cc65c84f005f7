#include "authoring/filename_edit.h"

#include "platform/platform.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>

namespace vokrin::authoring {

TFilenameEdit::TFilenameEdit(DialogKind kind, QWidget *parent)
    : QWidget(parent), m_kind(kind), m_edit(new QLineEdit(this)), m_button(new QToolButton(this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_edit, 1);
    layout->addWidget(m_button);
    m_button->setText(QStringLiteral("..."));
    m_button->setFocusPolicy(Qt::NoFocus);
    setFocusProxy(m_edit);
    connect(m_button, &QToolButton::clicked, this, &TFilenameEdit::runDialog);
}

QString TFilenameEdit::fileName() const
{
    return m_edit->text();
}

void TFilenameEdit::setFileName(const QString &name)
{
    m_edit->setText(name);
}

void TFilenameEdit::runDialog()
{
    platform::FileDialogOptions options;
    options.filter = m_filter;
    options.defaultSuffix = m_defaultExt;
    options.overwritePrompt = m_overwritePrompt;
    const QString current = fileName();
    if (!current.isEmpty()) {
        const QFileInfo info(current);
        options.initialDir = info.path();
        options.initialFile = info.fileName();
    }
    const std::optional<QString> chosen = m_kind == DialogKind::Open
                                              ? platform::platform().openFile(this, options)
                                              : platform::platform().saveFile(this, options);
    if (chosen)
        setFileName(*chosen);
    Q_EMIT afterDialog(fileName(), chosen.has_value());
}

} // namespace vokrin::authoring
