// The singer's screen: the song text full-screen on a second monitor or TV, opened and
// closed with F11. The screen it was last on is kept in the settings file.
#include "app/main_form.h"

#include "display/lyric_list.h"
#include "display/singer_layout.h"
#include "display/singer_screen.h"
#include "effects/effect_values.h"
#include "settings/ini_file.h"

#include <QGuiApplication>
#include <QScreen>

using vokrin::settings::EIniFileException;
using vokrin::settings::TIniFile;

namespace vokrin::app {

namespace {

const QString kSingerSection = QStringLiteral("SingerScreen");
const QString kSingerScreenKey = QStringLiteral("Screen");

void storeSingerScreen(const QString &screenName)
{
    if (screenName.isEmpty())
        return;
    TIniFile settings(vokrin::effects::kSettingsFile);
    settings.WriteString(kSingerSection, kSingerScreenKey, screenName);
}

} // namespace

void TMainForm::ToggleSingerScreen()
{
    if (SingerScreenWindow) {
        SingerScreenWindow->close();
        return;
    }
    const QList<QScreen *> screens = QGuiApplication::screens();
    if (screens.isEmpty())
        return;
    QStringList names;
    for (const QScreen *each : screens)
        names.append(each->name());
    const QString stored =
        TIniFile(vokrin::effects::kSettingsFile).ReadString(kSingerSection, kSingerScreenKey, {});
    const auto place =
        vokrin::display::chooseSingerScreen(names, int(screens.indexOf(screen())), stored);

    auto *singer = new vokrin::display::SingerScreen(*ListBox1);
    singer->setAttribute(Qt::WA_DeleteOnClose);
    SingerScreenWindow = singer;
    connect(singer, &vokrin::display::SingerScreen::closing, this, [](const QString &name) {
        try {
            storeSingerScreen(name);
        } catch (const EIniFileException &) {
            // The window closes all the same; the next opening picks a screen afresh.
        }
    });
    connect(singer, &vokrin::display::SingerScreen::otherKey, this, &TMainForm::FormKeyDown);
    singer->openOn(screens[place.screen], place.fullScreen);
    // The operator's keyboard stays with this window.
    activateWindow();
    storeSingerScreen(names[place.screen]);
}

} // namespace vokrin::app
