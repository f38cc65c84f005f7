#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <memory>

// A private X server (Xvfb) for one test, and the xdotool calls that drive windows on it.
class XSession
{
public:
    XSession();
    ~XSession();
    XSession(const XSession &) = delete;
    XSession &operator=(const XSession &) = delete;

    bool running() const { return !m_display.isEmpty(); }
    // The environment for a program that should open its windows here.
    QProcessEnvironment environment() const;

    // The id of the first window whose title is exactly `title`, waiting up to
    // `timeoutMs`; empty when none appeared.
    QString waitForWindow(const QString &title, int timeoutMs = 120000) const;
    // True once no window has the title any more.
    bool waitForWindowGone(const QString &title, int timeoutMs = 60000) const;
    // Gives the window the keyboard focus and types the keys ("Return", "shift+Tab").
    bool sendKeys(const QString &window, const QStringList &keys) const;

private:
    QString xdotool(const QStringList &arguments, int timeoutMs = 30000,
                    int *exitCode = nullptr) const;

    std::unique_ptr<QProcess> m_server;
    QString m_display;
};
