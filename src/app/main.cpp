#include "app/app.h"
#include "app/commandline.h"
#include "audio/systemaudio.h"
#include "core/apptitle.h"
#include "core/datafolder.h"
#include "core/errorreport.h"
#include "core/settingsstore.h"
#include "widgets/looks.h"
#include "widgets/qtplatform.h"
#include "windows/form1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    const CommandLine commandLine = parseCommandLine(argumentList(argc, argv));
    if (commandLine.exitCode) {
        printMessage(commandLine);
        return *commandLine.exitCode;
    }

    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Marrowfen"));
    QApplication::setApplicationName(kProductName.toString());
    // Closing the main window ends the program; the other windows replace it
    // on screen for a while and must not end it.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(Looks::programIcon());
    QApplication::setDesktopFileName(QStringLiteral("example.marrowfen.Lexidrill"));

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
    services.programFolder = dataFolder(QApplication::applicationDirPath());

    App app(services);
    Form1 &form1 = app.start();
    if (!commandLine.wordList.isEmpty()) {
        // As if chosen with "Load Word List From Text File": loaded and remembered.
        Steps s(prompts, u"Form1", u"PushButton6_Click");
        s.step(110, [&] { form1.setText1(commandLine.wordList); });
    }
    form1.show();
    return QApplication::exec();
}
