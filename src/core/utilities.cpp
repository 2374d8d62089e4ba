// SPDX-License-Identifier: GPL-3.0-or-later
#include "utilities.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>
#include <algorithm>
#include <climits>
#include <cmath>

using namespace Qt::StringLiterals;

QChar pathSeparator()
{
    return QDir::separator();
}

QString besideProgram(const QString &programFolder, QStringView literal)
{
    QString relative = literal.toString();
    relative.replace(u'\\', pathSeparator());
    return programFolder + relative;
}

QString lineBreaksForDisplay(QString text)
{
    text.replace(u"\r\n"_s, u"\n"_s);
    text.replace(u'\r', u'\n');
    return text;
}

bool FileExists(QString path)
{
    if (path.isEmpty())
        return false;
    return QFileInfo(path).lastModified().isValid();
}

void Pause(double seconds)
{
    if (!(seconds > 0))
        return;
    const qint64 totalMs = std::isinf(seconds) ? std::numeric_limits<int>::max() : qint64(std::ceil(seconds * 1000.0));
    QElapsedTimer clock;
    clock.start();
    // A monotonic clock: a change of the wall clock or midnight cannot stretch
    // or cut the wait. Nested loops may return early when a handler inside
    // quits them, so the loop checks the remaining time again.
    while (clock.elapsed() < totalMs) {
        const qint64 remaining = totalMs - clock.elapsed();
        QEventLoop loop;
        QTimer::singleShot(std::chrono::milliseconds(std::min<qint64>(remaining, INT_MAX)), Qt::PreciseTimer, &loop,
                           &QEventLoop::quit);
        // Once the program is quitting, no loop runs any more: stop waiting.
        if (loop.exec() < 0)
            return;
    }
}

QString FileNameOf(const QString &path)
{
    const qsizetype last = path.lastIndexOf(pathSeparator());
    return last < 0 ? path : path.mid(last + 1);
}

QString collapseSeparators(QStringView path, QChar separator)
{
    auto collapsePairs = [separator](QStringView text) {
        QString result;
        result.reserve(text.size());
        for (qsizetype i = 0; i < text.size(); ++i) {
            result.append(text[i]);
            if (text[i] == separator && i + 1 < text.size() && text[i + 1] == separator)
                ++i;
        }
        return result;
    };
    if (path.isEmpty() || path.front() != separator)
        return collapsePairs(path);
    qsizetype start = 0;
    while (start < path.size() && path[start] == separator)
        ++start;
    return QString(2, separator) + collapsePairs(path.mid(start));
}

QString CollapseBackslashes(const QString &path)
{
    QString result = collapseSeparators(path, pathSeparator());
#ifndef Q_OS_WIN
    // Here every absolute path starts with the separator and none is a
    // network path: the root keeps a single one.
    if (result.startsWith(QString(2, pathSeparator())))
        result.remove(0, 1);
#endif
    return result;
}
