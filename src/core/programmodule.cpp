// SPDX-License-Identifier: GPL-3.0-or-later
#include "programmodule.h"

#include "core/failure.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

using namespace Qt::StringLiterals;

QString programModuleFile(const QString &programFolder, const QString &name)
{
    const QString file = u"lexidrill-"_s + name + u".so"_s;
    const QString beside = programFolder + u'/' + file;
    if (QFileInfo::exists(beside))
        return beside;
    return QDir::cleanPath(programFolder + u'/' + QStringLiteral(LEXIDRILL_MODULES_FROM_PROGRAM) + u'/' + file);
}

QFunctionPointer programModuleFunction(const QString &name, const char *symbol)
{
    QLibrary module(programModuleFile(QCoreApplication::applicationDirPath(), name));
    if (!module.load())
        throw Failure(u"A part of the program could not be loaded: %1"_s.arg(module.errorString()));
    if (const QFunctionPointer function = module.resolve(symbol))
        return function;
    throw Failure(u"A part of the program could not be loaded: %1 has no %2"_s.arg(module.fileName(),
                                                                                   QString::fromLatin1(symbol)));
}
