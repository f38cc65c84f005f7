#include "app/startup.h"

#include "app/application_info.h"
#include "app/desktop_identity.h"
#include "app/document_argument.h"
#include "app/main_form.h"
#include "app/media_remote.h"
#include "app/splash_form.h"
#include "authoring/new_kar.h"
#include "controls/led_gauge.h"
#include "crashreport/crash_reporter.h"
#include "settings/form_storage.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QIcon>
#include <QLibraryInfo>
#include <QTimer>
#include <QTranslator>
#include <cstdlib>

using vokrin::settings::TFormStorage;

namespace vokrin::app {

int runProgram(int argc, char **argv)
{
    vokrin::crashreport::install(argc, argv);
    // The command line carries at most a document to open; the toolkit gets none of it,
    // so no argument can change how the program looks or runs.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QFile::decodeName(argv[i]));
    const auto document = documentArgument(arguments, QDir::currentPath());
    static int toolkitArgc = 1;
    static char programName[] = "vokrin";
    static char *toolkitArgv[] = {argc > 0 && argv[0] != nullptr ? argv[0] : programName, nullptr};
    vokrin::crashreport::VokrinApplication app(toolkitArgc, toolkitArgv);
    QApplication::setApplicationName(QStringLiteral("vokrin"));
    QGuiApplication::setDesktopFileName(kDesktopId);
    QApplication::setWindowIcon(QIcon::fromTheme(kDesktopId));
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
    connectMediaRemote(mainForm);
    if (document) {
        // From the event loop, as a button's click would run: an unreadable file reaches
        // the crash window like any other error there.
        QTimer::singleShot(0, &mainForm,
                           [&mainForm, document] { openDocument(mainForm, *document); });
    }
    app.exec();
    return 0;
}

} // namespace vokrin::app
