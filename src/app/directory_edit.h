#pragma once

#include <QString>
#include <QWidget>

class QLineEdit;
class QToolButton;

namespace vokrin::app {

// A folder box: a line edit with a small button beside it that picks a folder through
// the platform's folder dialog. Its text is used exactly as entered.
class TDirectoryEdit : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString Text READ text WRITE setText)
public:
    explicit TDirectoryEdit(QWidget *parent = nullptr);

    QString text() const;
    void setText(const QString &text);
    QLineEdit *edit() const { return m_edit; }
    QToolButton *button() const { return m_button; }

    // Runs the folder dialog and takes the chosen folder as the text.
    void chooseFolder();

Q_SIGNALS:
    void Change(QObject *sender);

private:
    QLineEdit *m_edit;
    QToolButton *m_button;
};

} // namespace vokrin::app
