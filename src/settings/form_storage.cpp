#include "settings/form_storage.h"

#include "settings/form_placement.h"
#include "settings/ini_file.h"
#include "settings/stored_property.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QFileInfo>
#include <QMetaObject>
#include <QtDebug>
#include <stdexcept>
#include <utility>

namespace vokrin::settings {

namespace {

TFormStorage::ExceptionHandler &exceptionHandler()
{
    static TFormStorage::ExceptionHandler handler;
    return handler;
}

TFormStorage::ScreenProvider &screenProvider()
{
    static TFormStorage::ScreenProvider provider;
    return provider;
}

ScreenMetrics currentScreen()
{
    const TFormStorage::ScreenProvider &provider = screenProvider();
    return provider ? provider() : primaryScreenMetrics();
}

void report(std::exception_ptr error)
{
    if (const TFormStorage::ExceptionHandler &handler = exceptionHandler()) {
        handler(error);
        return;
    }
    try {
        std::rethrow_exception(error);
    } catch (const std::exception &e) {
        qWarning("Settings: %s", e.what());
    } catch (...) {
        qWarning("Settings: unknown error");
    }
}

QString classNameOf(const QObject &object)
{
    const QString name = QString::fromLatin1(object.metaObject()->className());
    const qsizetype colons = name.lastIndexOf(QStringLiteral("::"));
    return colons < 0 ? name : name.mid(colons + 2);
}

// A text key is "found" when it holds something: the suffixed position key first, then
// the plain one (the last position saved at any resolution).
std::optional<QString> positionText(const TIniFile &ini, const QString &section, const QString &key,
                                    const QString &suffix)
{
    QString text = ini.ReadString(section, key + suffix, QString());
    if (text.isEmpty())
        text = ini.ReadString(section, key, QString());
    if (text.isEmpty())
        return std::nullopt;
    return text;
}

void restorePlacement(const TIniFile &ini, const QString &section, QWidget &window,
                      const ScreenMetrics &screen)
{
    // Position part.
    const WindowPlacement current = capturePlacement(window, screen);
    const int flags = ini.ReadInteger(section, QStringLiteral("Flags"), current.flags);
    const QString suffix = resolutionSuffix(screen.screenSize);
    StoredPosition stored;
    stored.minMaxText = positionText(ini, section, QStringLiteral("MinMaxPos"), suffix);
    stored.normalText = positionText(ini, section, QStringLiteral("NormPos"), suffix);
    stored.pixelsPerInch =
        ini.ReadInteger(section, QStringLiteral("PixelsPerInch"), screen.pixelsPerInch);
    const CurrentWindow now{current.normalRect, isResizable(window), screen.pixelsPerInch};
    if (const std::optional<QRect> rect = plannedNormalRect(stored, now))
        applyNormalRect(window, *rect, screen);

    // State part.
    const int showCmd = ini.ReadInteger(section, QStringLiteral("ShowCmd"), 0);
    applyShowState(window, showStateFromCommand(showCmd, ShowState::Normal),
                   (flags & kRestoreToMaximized) != 0);
}

} // namespace

TFormStorage::TFormStorage(QWidget *window) : QObject(window), m_window(window)
{
    if (window != nullptr) {
        m_lastSection = classNameOf(*window);
        window->installEventFilter(this);
    }
}

TFormStorage::~TFormStorage() = default;

QString TFormStorage::effectiveIniFileName() const
{
    if (!m_iniFileName.isEmpty())
        return m_iniFileName;
    QString name = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    if (name.isEmpty())
        name = QStringLiteral("vokrin");
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot > 0)
        name.truncate(dot);
    return name + QStringLiteral(".INI");
}

QString TFormStorage::effectiveIniSection() const
{
    if (!m_iniSection.isEmpty())
        return m_iniSection;
    // While the window is being torn down its class may already read as a base class.
    if (m_window && !m_destroyed)
        return classNameOf(*m_window);
    return m_lastSection;
}

void TFormStorage::RestoreSettings()
{
    m_saved = false;
    if (!m_window)
        return;
    m_lastSection = effectiveIniSection();
    const TIniFile ini(effectiveIniFileName());
    const QString &section = m_lastSection;
    if (ini.ReadInteger(section, QStringLiteral("FormVersion"), 0) >= m_version) {
        const ScreenMetrics screen = currentScreen();
        restorePlacement(ini, section, *m_window, screen);
        for (const QString &entry : std::as_const(m_storedProps)) {
            if (const auto target = findStoredProperty(m_window, entry))
                readStoredProperty(ini, section, *target, screen.pixelsPerInch);
        }
    }
    m_restored = true;
}

void TFormStorage::SaveSettings()
{
    saveWithDestroyingMark(false);
}

void TFormStorage::saveWithDestroyingMark(bool destroying)
{
    if (!m_restored && m_active)
        return; // never read: writing now would overwrite the user's settings with designs
    if (!m_window)
        return;
    m_lastSection = effectiveIniSection();
    const QString &section = m_lastSection;
    TIniFile ini(effectiveIniFileName());
    const ScreenMetrics screen = currentScreen();
    const WindowPlacement placement = capturePlacement(*m_window, screen);
    const QString suffix = resolutionSuffix(screen.screenSize);
    const QString minMax = formatPositions(placement.minPosition.x(), placement.minPosition.y(),
                                           placement.maxPosition.x(), placement.maxPosition.y());
    const QString normal = formatNormalRect(placement.normalRect);

    ini.WriteInteger(section, QStringLiteral("FormVersion"), m_version);
    ini.WriteInteger(section, QStringLiteral("Flags"), placement.flags);
    ini.WriteInteger(section, QStringLiteral("ShowCmd"), placement.showCmd);
    ini.WriteInteger(section, QStringLiteral("PixelsPerInch"), screen.pixelsPerInch);
    ini.WriteString(section, QStringLiteral("MinMaxPos") + suffix, minMax);
    ini.WriteString(section, QStringLiteral("MinMaxPos"), minMax);
    ini.WriteString(section, QStringLiteral("NormPos") + suffix, normal);
    ini.WriteString(section, QStringLiteral("NormPos"), normal);
    ini.WriteBool(section, QStringLiteral("Visible"), destroying);
    for (const QString &entry : std::as_const(m_storedProps)) {
        if (const auto target = findStoredProperty(m_window, entry))
            writeStoredProperty(ini, section, *target, screen.pixelsPerInch);
    }
    m_saved = true;
}

void TFormStorage::windowDestroying()
{
    if (m_destroyed)
        return;
    m_lastSection = effectiveIniSection();
    m_destroyed = true;
    if (m_active && !m_saved)
        runGuarded([this] { saveWithDestroyingMark(true); });
}

void TFormStorage::runGuarded(const std::function<void()> &step)
{
    try {
        step();
    } catch (...) {
        report(std::current_exception());
    }
}

bool TFormStorage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_window || m_window == nullptr)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Show:
        // Spontaneous shows come from the window system (leaving the minimized state);
        // only the program's own show counts.
        if (!event->spontaneous()) {
            if (m_active)
                runGuarded([this] { RestoreSettings(); });
            Q_EMIT windowShowing();
        }
        return false;
    case QEvent::Close: {
        // The window's own close handling decides first; the filter delivers the event to
        // it itself and then reports it as handled.
        const QPointer<TFormStorage> self(this);
        const QPointer<QWidget> window(m_window);
        static_cast<QObject *>(window.data())->event(event);
        if (self && window && event->isAccepted() && m_active && window->windowHandle())
            runGuarded([this] { SaveSettings(); });
        return true;
    }
    case QEvent::DeferredDelete:
        windowDestroying();
        return false;
    default:
        return false;
    }
}

void TFormStorage::setExceptionHandler(ExceptionHandler handler)
{
    exceptionHandler() = std::move(handler);
}

void TFormStorage::setScreenProvider(ScreenProvider provider)
{
    screenProvider() = std::move(provider);
}

} // namespace vokrin::settings
