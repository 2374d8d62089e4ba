// SPDX-License-Identifier: GPL-3.0-or-later
#include "testprogram.h"

#include "core/utilities.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

TestProgram::TestProgram()
{
    QDir(folder.path()).mkpath(u"program"_s);
    settings = std::make_unique<SettingsStore>(folder.filePath(u"settings.ini"_s));
}

TestProgram::~TestProgram() = default;

QString TestProgram::path(QStringView literal) const
{
    return besideProgram(folder.filePath(u"program"_s), literal);
}

QString TestProgram::writeBeside(QStringView literal, const QByteArray &bytes) const
{
    const QString target = path(literal);
    QDir().mkpath(QFileInfo(target).path());
    QFile file(target);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(target));
    return target;
}

QString TestProgram::writeFile(const QString &name, const QByteArray &bytes) const
{
    const QString target = folder.filePath(name);
    QFile file(target);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(target));
    return target;
}

void TestProgram::addSamples() const
{
    writeBeside(u"\\Samples\\One-To-Ten.txt",
                "one\r\ntwo\r\nthree\r\nfour\r\nfive\r\nsix\r\nseven\r\neight\r\nnine\r\nten\r\n");
    writeBeside(u"\\Samples\\8th-Grade-Word-List.txt", "abbreviate\r\nabsence\r\naccommodate\r\n");
}

Form1 &TestProgram::start(const QString &givenList)
{
    Services services;
    services.prompts = &prompts;
    services.dialogs = &dialogs;
    services.launcher = &launcher;
    services.speech = realSpeech ? realSpeech : &speech;
    services.player = &player;
    services.settings = settings.get();
    services.random = random.get();
    services.delay = &delay;
    services.pauses = realPauses ? realPauses : &pauses;
    services.recordingOutput = recordingOutput;
    services.programFolder = folder.filePath(u"program"_s);
    services.historyFile = historyFile();
    app = std::make_unique<App>(services);
    return app->start(givenList);
}
