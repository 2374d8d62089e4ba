// SPDX-License-Identifier: GPL-3.0-or-later
#include "qtspeechengine.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

QString speechHelperProgram()
{
    const QString folder = QCoreApplication::applicationDirPath();
    const QString name = u"lexidrill-speech"_s;
    const QString beside = folder + u'/' + name;
    if (QFileInfo(beside).isExecutable())
        return beside;
    return QDir::cleanPath(folder + u'/' + QStringLiteral(LEXIDRILL_HELPER_FROM_PROGRAM) + u'/' + name);
}

QtSpeechEngine::QtSpeechEngine(QStringList engines, Limits limits, BusyHook busy)
    : BackgroundSpeechEngine({speechHelperProgram(), std::move(engines)}, limits, std::move(busy))
{ }
