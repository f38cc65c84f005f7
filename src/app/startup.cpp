#include "app/startup.h"

#include "app/application_info.h"
#include "app/main_form.h"
#include "app/splash_form.h"
#include "authoring/new_kar.h"
#include "controls/led_gauge.h"
#include "crashreport/crash_reporter.h"
#include "settings/form_storage.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstdlib>

namespace vokrin::app {

int runProgram(int argc, char **argv)
{
    vokrin::crashreport::install(argc, argv);
    vokrin::crashreport::VokrinApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vokrin"));
    // The program ends when the main window's run ends, not when the splash hides.
    QApplication::setQuitOnLastWindowClosed(false);
    setApplicationInfo({QStringLiteral("ВОКРИН"), QStringLiteral("vokrin.hlp")});
    // The standard dialogs (files, fonts, colours, message box buttons) speak Russian
    // like the rest of the program, whatever the desktop's language.
    auto *standardTexts = new QTranslator(&app);
    if (standardTexts->load(QStringLiteral("qtbase_ru"),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(standardTexts);
    // The windows are laid out for the narrow classic dialog font; the fallback the font
    // system picks for it by itself is wider, and the knob captions run into each other.
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    TFormStorage::setExceptionHandler(&vokrin::crashreport::handleException);

    auto *splash = new TSplashForm;
    if (splash->exec() != QDialog::Accepted) {
        delete splash;
        return 0;
    }

    TMainForm mainForm;
    if (!mainForm.FormCreate())
        std::exit(0);
    mainForm.SplashForm = splash;
    // The wizard lives as long as the main window and plays on its player.
    mainForm.FormNewKar = new vokrin::authoring::TFormNewKar(
        mainForm.player,
        {[&mainForm](const QString &path) { mainForm.AddProject(path); },
         [&mainForm] { mainForm.MMLEDGauge1->setProgress(0); }},
        &mainForm);
    QObject::connect(&mainForm, &TMainForm::closed, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    mainForm.show();
    app.exec();
    return 0;
}

} // namespace vokrin::app
