// SPDX-License-Identifier: GPL-3.0-or-later
// Shared by the fuzz targets: a failed check ends the run (libFuzzer then
// saves the input), reports are counted instead of shown, and files are
// written into one private folder.
#pragma once

#include "core/prompts.h"

#include <QByteArray>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

#define FUZZ_REQUIRE(condition)                                                                                        \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);                         \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (false)

// As FUZZ_REQUIRE(a == b), showing both values when they differ.
#define FUZZ_REQUIRE_EQUAL(actual, expected)                                                                           \
    do {                                                                                                               \
        if (!((actual) == (expected))) {                                                                               \
            qWarning() << "actual:" << (actual) << "\nexpected:" << (expected);                                        \
            FUZZ_REQUIRE((actual) == (expected));                                                                      \
        }                                                                                                              \
    } while (false)

class RecordingPrompts : public Prompts
{
public:
    void message(const QString &text) override { messages.append(text); }
    bool question(const QString &text) override
    {
        messages.append(text);
        return false;
    }
    std::optional<bool> questionOrCancel(const QString &text) override { return question(text); }
    void error(const QString &text) override { errors.append(text); }
    std::optional<QString> askText(const QString &text) override
    {
        messages.append(text);
        return std::nullopt;
    }

    QStringList messages;
    QStringList errors;
};

// A file in the fuzz target's own temporary folder, in memory where the
// system offers it: saves wait for the disk, which would slow every run.
inline QString fuzzFile(const QString &name)
{
    static QTemporaryDir folder(QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                                    ? QStringLiteral("/dev/shm/lexidrill-fuzz-XXXXXX")
                                    : QDir::tempPath() + QStringLiteral("/lexidrill-fuzz-XXXXXX"));
    return folder.filePath(name);
}

inline void writeFuzzFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    FUZZ_REQUIRE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_REQUIRE(file.write(bytes) == bytes.size());
}
