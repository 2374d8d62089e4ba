// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/app.h"
#include "app/commandline.h"
#include "audio/deferredspeechengine.h"
#include "audio/systemaudio.h"
#include "core/apptitle.h"
#include "core/datafolder.h"
#include "core/settingsstore.h"
#include "widgets/busywhilewaiting.h"
#include "widgets/inputqueue.h"
#include "widgets/looks.h"
#include "widgets/qtplatform.h"
#include "widgets/startupprobe.h"
#include "windows/form1.h"

#include <QApplication>
#include <QDir>
#include <dlfcn.h>
#include <thread>

namespace {

// Reads the system's font configuration, the longest step before the main
// window's first paint (its text is measured as its controls are made), so
// that Qt finds it read. fontconfig is loaded with Qt's GUI library on Linux;
// it is looked up rather than linked, and where it is not loaded there is
// nothing to read ahead.
void readFontConfiguration()
{
    using Init = int (*)();
    if (const auto init = reinterpret_cast<Init>(dlsym(RTLD_DEFAULT, "FcInit")))
        init();
}

} // namespace

int main(int argc, char *argv[])
{
    const CommandLine commandLine = parseCommandLine(argumentList(argc, argv));
    if (commandLine.exitCode) {
        printMessage(commandLine);
        return *commandLine.exitCode;
    }

    // On a second processor while the window system is reached and the icon
    // is read.
    std::jthread fonts(readFontConfiguration);
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Marrowfen"));
    QApplication::setApplicationName(kProductName.toString());
    // Closing the main window ends the program; the other windows replace it
    // on screen for a while and must not end it.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(Looks::programIcon());
    QApplication::setDesktopFileName(QStringLiteral("example.marrowfen.Lexidrill"));

    int result = 0;
    {
        InputQueue input;
        BusyWhileWaiting busy(input);
        // Started once the main window is painted: the start takes seconds
        // and must not take the processor from the first paint.
        DeferredSpeechEngine speech(
            [&busy] { return createSystemSpeechEngine([&busy](bool waiting) { busy(waiting); }); });
        QtPrompts prompts(&input);
        QtFileDialogs dialogs;
        QtLauncher launcher;
        SettingsStore settings;
        const auto player = createSystemSoundPlayer();

        Services services;
        services.prompts = &prompts;
        services.dialogs = &dialogs;
        services.launcher = &launcher;
        services.speech = &speech;
        services.player = player.get();
        services.settings = &settings;
        // Qt gives '/' on every platform; the files beside the program are named
        // with the platform's own separator.
        services.programFolder = QDir::toNativeSeparators(dataFolder(QApplication::applicationDirPath()));

        App app(services, &input);
        fonts.join();
        Form1 &window = app.start(commandLine.wordList);
        exitWhenShownIfAsked(window);
        startAfterFirstPaint(speech, window);
        window.show();
        result = QApplication::exec();
    }
    return result;
}
