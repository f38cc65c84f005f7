#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <exception>
#include <functional>

namespace vokrin::settings {

class TIniFile;

// What the placement code needs to know about the screen: the primary screen's size in
// pixels (the "(WxH)" suffix of the position keys), its work area (positions are stored
// relative to its top-left corner) and its logical resolution (stored as PixelsPerInch).
struct ScreenMetrics
{
    QSize screenSize;
    QRect workArea;
    int pixelsPerInch = 96;
};

// The primary screen as Qt reports it (size, available geometry, rounded logical DPI).
ScreenMetrics primaryScreenMetrics();

// Keeps one window's placement and a list of its components' properties in the settings
// file, in the section named after the window's class.
//
// Attaching (in the window's constructor, after its components exist or not - they are
// looked up by objectName each time the settings are read or written):
//
//     FormStorage1 = new TFormStorage(this);
//     FormStorage1->setObjectName("FormStorage1");
//     FormStorage1->setStoredProps({"Volume.Value", "ListBox1.Font", ...});
//
// and, first thing in the window's destructor (while its components still exist):
//
//     FormStorage1->windowDestroying();
//
// The contract with the window:
// - Show: the storage filters the window's own (non-spontaneous) Show event and, if
//   Active, runs RestoreSettings there; the event then reaches the window, so the
//   window's showEvent() override (its own show step) already sees the restored values.
//   After the restore the storage emits windowShowing(); a window may connect its show
//   step to that signal instead of overriding showEvent(). An event filter the window
//   installs on itself AFTER creating the storage would run before the restore: don't.
// - Close: on the window's Close event the storage first lets the window handle it (its
//   closeEvent() override accepts or ignores it); only when the close is accepted, Active
//   is true and the window has a native window does it run SaveSettings.
// - Destroy: windowDestroying() saves (with "Visible=1") if Active and nothing was saved
//   since the last restore. Qt offers no notification before a window's own destructor
//   runs, so the window calls it itself; a window deleted through deleteLater() is also
//   covered by the storage watching the DeferredDelete event.
// - Errors from these automatic restores and saves (EIniFileException "Unable to write to
//   <file>" and anything else) go to the exception handler (setExceptionHandler) and the
//   show, close or destruction goes on. Direct calls of RestoreSettings/SaveSettings let
//   exceptions through to their caller.
//
// Stored properties: "Component.Property", the component found among the window's
// descendants by objectName, the property among its Q_PROPERTYs without regard to case
// (an exact-case match wins, so an LED's `Enabled` is preferred over QWidget's
// `enabled`). The key is "Component_Property" with the property's declared name.
// Entries whose component or property does not exist are skipped.
// Encodings: integer types (and QColor, as 0x00BBGGRR) in signed decimal; bool as
// "True"/"False"; enums by identifier; flags as "[a,b]"; QString as itself; a QFont as the
// keys Charset, Color, Height, Name, Pitch, Size, Style appended to the key (Color is the
// component's palette text colour: QPalette::Text is read, Text and WindowText are set;
// Charset has no meaning in Qt and is kept as a dynamic property of the component so that
// it survives a save); a QObject* property as one key per property of that object, in
// alphabetical order. Restoring assigns through the property's setter (so controls fire
// their change signals) and only when the stored text differs from the current value's.
//
// Placement keys: "FormVersion", "Flags", "ShowCmd" (1 normal, 2 minimized, 3 maximized),
// "PixelsPerInch", "MinMaxPos(WxH)", "MinMaxPos", "NormPos(WxH)", "NormPos", "Visible".
// NormPos is the window's normal geometry (client area, as QWidget::normalGeometry) as
// left,top,right,bottom relative to the primary screen's work area, right = left + width.
// Qt has no minimized or maximized position, so MinMaxPos is written as "-1,-1,-1,-1"
// ("let the system choose") and read only for validity. A minimized state is restored
// after the show has finished (queued), since a window cannot be shown minimized from
// inside its own show.
class TFormStorage : public QObject
{
    Q_OBJECT

public:
    using ExceptionHandler = std::function<void(std::exception_ptr)>;
    using ScreenProvider = std::function<vokrin::settings::ScreenMetrics()>;

    // `window` becomes the parent; the hooks are installed at once.
    explicit TFormStorage(QWidget *window);
    ~TFormStorage() override;

    QWidget *window() const { return m_window; }

    // "Component.Property" texts, in the order they are written and read.
    const QStringList &StoredProps() const { return m_storedProps; }
    void setStoredProps(const QStringList &props) { m_storedProps = props; }

    // Empty (the default): the executable's file name with its extension replaced by
    // ".INI" (for "vokrin": "vokrin.INI"), which resolves to the same file as "vokrin.ini".
    const QString &IniFileName() const { return m_iniFileName; }
    void setIniFileName(const QString &name) { m_iniFileName = name; }
    // Empty (the default): the class name of the window (without namespace).
    const QString &IniSection() const { return m_iniSection; }
    void setIniSection(const QString &section) { m_iniSection = section; }

    // Inactive storage neither restores on show nor saves on close or destruction.
    bool Active() const { return m_active; }
    void setActive(bool active) { m_active = active; }
    // A section whose FormVersion is lower than this is not restored.
    int Version() const { return m_version; }
    void setVersion(int version) { m_version = version; }

    // The file name and section actually used.
    QString effectiveIniFileName() const;
    QString effectiveIniSection() const;

    // Reads placement and stored properties; clears the saved mark, sets the restored mark.
    void RestoreSettings();
    // Writes placement and stored properties and sets the saved mark. Writes nothing
    // while Active and never restored (the window's settings were never read).
    void SaveSettings();

    bool Restored() const { return m_restored; }
    bool Saved() const { return m_saved; }

    // The destroy hook: call first thing in the window's destructor.
    void windowDestroying();

    // Where exceptions of the automatic restore and save go. The entry passes the crash
    // reporter's handleException; without a handler they are logged with qWarning.
    static void setExceptionHandler(ExceptionHandler handler);
    // Replaces the screen the placement code looks at (tests); empty restores Qt's
    // primary screen.
    static void setScreenProvider(ScreenProvider provider);

Q_SIGNALS:
    // Emitted on every (non-spontaneous) show of the window, after the restore.
    void windowShowing();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void saveWithDestroyingMark(bool destroying);
    void runGuarded(const std::function<void()> &step);

    QPointer<QWidget> m_window;
    QStringList m_storedProps;
    QString m_iniFileName;
    QString m_iniSection;
    QString m_lastSection; // the section as last computed while the window was whole
    bool m_active = true;
    int m_version = 0;
    bool m_restored = false;
    bool m_saved = false;
    bool m_destroyed = false;
};

} // namespace vokrin::settings
