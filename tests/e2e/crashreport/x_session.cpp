#include "x_session.h"

#include <QDeadlineTimer>
#include <QThread>

XSession::XSession() : m_server(std::make_unique<QProcess>())
{
    // Xvfb picks a free display and writes its number to the given descriptor.
    m_server->setProgram(QStringLiteral("Xvfb"));
    m_server->setArguments({QStringLiteral("-displayfd"), QStringLiteral("1"),
                            QStringLiteral("-screen"), QStringLiteral("0"),
                            QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"),
                            QStringLiteral("tcp")});
    m_server->setProcessChannelMode(QProcess::SeparateChannels);
    m_server->start();
    if (!m_server->waitForStarted(10000))
        return;
    QByteArray number;
    const QDeadlineTimer deadline(30000);
    while (!number.contains('\n') && !deadline.hasExpired()) {
        if (m_server->waitForReadyRead(1000))
            number += m_server->readAllStandardOutput();
        if (m_server->state() != QProcess::Running)
            return;
    }
    if (number.trimmed().isEmpty())
        return;
    m_display = QStringLiteral(":") + QString::fromLatin1(number.trimmed());
}

XSession::~XSession()
{
    if (m_server->state() == QProcess::Running) {
        m_server->terminate();
        if (!m_server->waitForFinished(5000))
            m_server->kill();
        m_server->waitForFinished(5000);
    }
}

QProcessEnvironment XSession::environment() const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), m_display);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    return environment;
}

QString XSession::xdotool(const QStringList &arguments, int timeoutMs, int *exitCode) const
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), m_display);
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral("xdotool"), arguments);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(5000);
        if (exitCode != nullptr)
            *exitCode = -1;
        return {};
    }
    if (exitCode != nullptr)
        *exitCode = process.exitCode();
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

QString XSession::waitForWindow(const QString &title, int timeoutMs) const
{
    const QDeadlineTimer deadline(timeoutMs);
    const QString pattern = QStringLiteral("^%1$").arg(title);
    while (!deadline.hasExpired()) {
        const QString found = xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                       QStringLiteral("--name"), pattern});
        if (!found.isEmpty())
            return found.split(QLatin1Char('\n')).first();
        QThread::msleep(200);
    }
    return {};
}

bool XSession::waitForWindowGone(const QString &title, int timeoutMs) const
{
    const QDeadlineTimer deadline(timeoutMs);
    const QString pattern = QStringLiteral("^%1$").arg(title);
    while (!deadline.hasExpired()) {
        if (xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                     QStringLiteral("--name"), pattern})
                .isEmpty())
            return true;
        QThread::msleep(200);
    }
    return false;
}

bool XSession::sendKeys(const QString &window, const QStringList &keys) const
{
    int code = 0;
    xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window}, 30000, &code);
    if (code != 0)
        return false;
    // Let the window take the focus before the keys arrive.
    QThread::msleep(300);
    for (const QString &key : keys) {
        xdotool({QStringLiteral("key"), QStringLiteral("--clearmodifiers"), key}, 30000, &code);
        if (code != 0)
            return false;
        QThread::msleep(150);
    }
    return true;
}
