#pragma once

#include "report_context.h"

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace vokrin::crashreport {

enum class BoxChoice { Continue, Restart, Close };

// The error box: the message, the report buttons on the left and the action buttons on
// the right of one row, the report below in a read-only field. It makes the error sound
// and copies the report to the clipboard when it opens. Fixed size, centred, no
// minimize or maximize.
class ErrorBox : public QDialog
{
    Q_OBJECT
public:
    // `title` is the executable's file name; `canContinue` false disables "Continue"
    // (after a fatal signal there is nothing to go back to).
    ErrorBox(const QString &title, ReportContext context, bool canContinue,
             QWidget *parent = nullptr);

    BoxChoice choice() const { return m_choice; }
    const ReportContext &context() const { return m_context; }

    // Escape and the window manager's close: "Continue" where it is allowed.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void finish(BoxChoice choice);
    void centreOnScreen();

    ReportContext m_context;
    bool m_canContinue;
    bool m_announced = false;
    BoxChoice m_choice = BoxChoice::Close;
    QPlainTextEdit *m_reportField = nullptr;
};

// Shows the box modally and returns the choice.
BoxChoice runErrorBox(const QString &title, const ReportContext &context, bool canContinue);

} // namespace vokrin::crashreport
