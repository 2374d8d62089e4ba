#include "audio/systemaudio.h"
#include "shell/apptitle.h"
#include "shell/form1.h"
#include "shell/globals.h"
#include "shell/looks.h"
#include "shell/qtplatform.h"
#include "shell/settingsstore.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
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
    services.programFolder = QApplication::applicationDirPath();

    Globals globals(services);
    Form1 form1(globals);
    form1.Form_Load();
    form1.show();
    return QApplication::exec();
}
