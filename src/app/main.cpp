#include "app/app.h"
#include "audio/systemaudio.h"
#include "core/apptitle.h"
#include "core/settingsstore.h"
#include "widgets/looks.h"
#include "widgets/qtplatform.h"
#include "windows/form1.h"

#include <QApplication>
#include <QDir>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Marrowfen"));
    QApplication::setApplicationName(kProductName.toString());
    // Closing the main window ends the program; the other windows replace it
    // on screen for a while and must not end it.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(Looks::programIcon());

    QtPrompts prompts;
    QtFileDialogs dialogs;
    QtLauncher launcher;
    SettingsStore settings;
    const auto speech = createSystemSpeechEngine();
    const auto player = createSystemSoundPlayer();

    Services services;
    services.prompts = &prompts;
    services.dialogs = &dialogs;
    services.launcher = &launcher;
    services.speech = speech.get();
    services.player = player.get();
    services.settings = &settings;
    // Qt gives '/' on every platform; the files beside the program are named
    // with the platform's own separator.
    services.programFolder = QDir::toNativeSeparators(QApplication::applicationDirPath());

    App app(services);
    app.start().show();
    return QApplication::exec();
}
