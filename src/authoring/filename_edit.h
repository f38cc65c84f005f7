#pragma once

#include <QString>
#include <QWidget>

class QLineEdit;
class QToolButton;

namespace vokrin::authoring {

// A path box with a button that picks the path in a file dialog (through the platform
// layer). The box may also be typed into; only the dialog raises afterDialog.
class TFilenameEdit : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString FileName READ fileName WRITE setFileName)
    Q_PROPERTY(QString Filter READ filter WRITE setFilter)
    Q_PROPERTY(QString DefaultExt READ defaultExt WRITE setDefaultExt)

public:
    enum class DialogKind { Open, Save };

    explicit TFilenameEdit(DialogKind kind, QWidget *parent = nullptr);

    QString fileName() const;
    void setFileName(const QString &name);
    // Classic form: "Description|*.a;*.b".
    QString filter() const { return m_filter; }
    void setFilter(const QString &filter) { m_filter = filter; }
    // Without the dot: "txt".
    QString defaultExt() const { return m_defaultExt; }
    void setDefaultExt(const QString &extension) { m_defaultExt = extension; }
    // The save dialog asks before it returns the name of an existing file.
    void setOverwritePrompt(bool prompt) { m_overwritePrompt = prompt; }
    bool overwritePrompt() const { return m_overwritePrompt; }

    QLineEdit *lineEdit() const { return m_edit; }
    QToolButton *dialogButton() const { return m_button; }

public Q_SLOTS:
    // Runs the file dialog. A confirmed name replaces the box's text; then afterDialog
    // reports the name the box now holds and whether the user confirmed.
    void runDialog();

Q_SIGNALS:
    void afterDialog(const QString &name, bool confirmed);

private:
    DialogKind m_kind;
    QLineEdit *m_edit;
    QToolButton *m_button;
    QString m_filter;
    QString m_defaultExt;
    bool m_overwritePrompt = false;
};

} // namespace vokrin::authoring
