// SPDX-License-Identifier: GPL-3.0-or-later
#include "commandline.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

constexpr int kUsageError = 2;

CommandLine usageError(const QString &text)
{
    return {kUsageError, u"lexidrill: %1\nTry 'lexidrill --help' for more information.\n"_s.arg(text), {}};
}

} // namespace

CommandLine parseCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    // "-platform" is one unknown option, not eight unknown letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(u"Spelling practice: hear each word of a word list spoken, type its spelling\n"
                                     "and be told at once whether it was right."_s);
    // Our own help option rather than addHelpOption(), whose --help-all lists
    // Qt options that this program does not take.
    const QCommandLineOption help({u"h"_s, u"help"_s}, u"Show this help and exit."_s);
    const QCommandLineOption version({u"v"_s, u"version"_s}, u"Show the version and exit."_s);
    parser.addOption(help);
    parser.addOption(version);
    parser.addPositionalArgument(
        u"FILE"_s, u"A word list to start with, as if chosen with \"Load Word List From Text File\"."_s, u"[FILE]"_s);

    if (!parser.parse(arguments))
        return usageError(parser.errorText());
    if (parser.isSet(help)) {
        // Qt names the program by its full path, or by a placeholder before
        // the application object exists: the usage line is our own.
        const QString options = parser.helpText().section(u'\n', 1);
        return {0, u"Usage: lexidrill [options] [FILE]\n"_s + options, {}};
    }
    if (parser.isSet(version))
        return {0, u"Lexidrill " LEXIDRILL_VERSION "\n"_s, {}};

    const QStringList files = parser.positionalArguments();
    if (files.size() > 1)
        return usageError(u"one word list at a time, not %1."_s.arg(files.size()));
    if (files.isEmpty())
        return {};
    const QFileInfo file(files.first());
    if (!file.isFile() || !file.isReadable())
        return usageError(u"cannot read the word list '%1'."_s.arg(files.first()));
    return {{}, {}, file.absoluteFilePath()};
}

QStringList argumentList(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

void printMessage(const CommandLine &commandLine)
{
    std::FILE *stream = commandLine.exitCode == 0 ? stdout : stderr;
    std::fputs(commandLine.message.toLocal8Bit().constData(), stream);
}
