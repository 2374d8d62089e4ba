// SPDX-License-Identifier: GPL-3.0-or-later
#include "datafolder.h"

#include <QDir>

using namespace Qt::StringLiterals;

namespace {

bool holdsProgramFiles(const QString &folder)
{
    const QDir dir(folder);
    return dir.exists(u"Samples"_s) || dir.exists(u"Sounds"_s) || dir.exists(u"HAND-M.CUR"_s);
}

} // namespace

QString dataFolder(const QString &programFolder)
{
    if (holdsProgramFiles(programFolder))
        return programFolder;
    const QString installed = QDir::cleanPath(programFolder + u"/../share/lexidrill"_s);
    if (holdsProgramFiles(installed))
        return installed;
    return programFolder;
}
