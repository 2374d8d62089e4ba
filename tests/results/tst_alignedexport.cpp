// SPDX-License-Identifier: GPL-3.0-or-later
#include "filesizelimit.h"
#include "results/alignedexport.h"
#include "testprogram.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <optional>

#ifdef Q_OS_UNIX
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace {

const QStringList kTitles{u"Given word"_s, u"Your spelling"_s, u"Result"_s};

ExportTable workedExample()
{
    return {kTitles, {{u"cat"_s, u"cat"_s, u"Correct"_s}, {u"dog"_s, u"dgo"_s, u"Wrong"_s}}};
}

constexpr const char *kSaveUntilKilled = "--save-until-killed";

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

#ifdef Q_OS_UNIX
// A named pipe with a reader that holds it open, so that an export that
// opened it would write into it instead of waiting forever.
class Pipe
{
public:
    explicit Pipe(const QString &path) : m_path(QFile::encodeName(path))
    {
        if (::mkfifo(m_path.constData(), 0600) == 0)
            m_reader = ::open(m_path.constData(), O_RDONLY | O_NONBLOCK);
    }
    ~Pipe()
    {
        if (m_reader >= 0)
            ::close(m_reader);
    }
    Pipe(const Pipe &) = delete;
    Pipe &operator=(const Pipe &) = delete;

    bool isOpen() const { return m_reader >= 0; }
    bool isStillAPipe() const
    {
        struct stat status;
        return ::stat(m_path.constData(), &status) == 0 && S_ISFIFO(status.st_mode);
    }
    bool wasWrittenTo() const
    {
        char byte;
        return ::read(m_reader, &byte, 1) > 0;
    }

private:
    QByteArray m_path;
    int m_reader = -1;
};
#endif

} // namespace

class tst_AlignedExport : public QObject
{
    Q_OBJECT

private slots:
    void fileBytes_data();
    void fileBytes();
    void savesAndReplaces();
    void failures_data();
    void failures();
    void killedSaveKeepsTheOldFile();
};

void tst_AlignedExport::fileBytes_data()
{
    QTest::addColumn<ExportTable>("table");
    QTest::addColumn<QString>("summary");
    QTest::addColumn<QByteArray>("expected");

    QTest::addRow("two answers") << workedExample() << u"Correct: 1 Wrong: 1 Score: 50%"_s
                                 << QByteArray("Given word\tYour spelling\tResult \t\r\n"
                                               "cat       \tcat          \tCorrect\t\r\n"
                                               "dog       \tdgo          \tWrong  \t\r\n"
                                               "\r\n"
                                               "Correct: 1 Wrong: 1 Score: 50%\r\n");
    QTest::addRow("no rows") << ExportTable{kTitles, {}} << u"Correct: 0 Wrong: 0 Score: 0%"_s
                             << QByteArray(
                                    "Given word\tYour spelling\tResult\t\r\n\r\nCorrect: 0 Wrong: 0 Score: 0%\r\n");
    QTest::addRow("a text longer than its title")
        << ExportTable{kTitles, {{u"accommodation"_s, u"acomodation"_s, u"Wrong"_s}}} << u"s"_s
        << QByteArray("Given word   \tYour spelling\tResult\t\r\n"
                      "accommodation\tacomodation  \tWrong \t\r\n\r\ns\r\n");
    QTest::addRow("tab inside a text written unchanged") << ExportTable{{u"A"_s, u"B"_s}, {{u"a\tb"_s, u"c"_s}}}
                                                         << u"s"_s << QByteArray("A  \tB\t\r\na\tb\tc\t\r\n\r\ns\r\n");
    QTest::addRow("short row has empty cells")
        << ExportTable{{u"A"_s, u"B"_s}, {{u"xy"_s}}} << u"s"_s << QByteArray("A \tB\t\r\nxy\t \t\r\n\r\ns\r\n");
    QTest::addRow("accents fit the code page") << ExportTable{{u"Word"_s}, {{u"café"_s}}} << u"Score: 100%"_s
                                               << QByteArray("Word\t\r\ncaf\xE9\t\r\n\r\nScore: 100%\r\n");
    QTest::addRow("text outside the code page makes the whole file UTF-8")
        << ExportTable{{u"Word"_s}, {{u"café"_s}, {u"日本"_s}}} << u"Score: 100%"_s
        << QByteArray("Word\t\r\ncaf\xC3\xA9\t\r\n\xE6\x97\xA5\xE6\x9C\xAC  \t\r\n\r\nScore: 100%\r\n");
    // U+1F600 takes two UTF-16 code units, so it is as wide as "ab".
    QTest::addRow("widths count UTF-16 code units")
        << ExportTable{{u"W"_s, u"X"_s}, {{u"\U0001F600"_s, u"abc"_s}, {u"a"_s, u"\u00E9"_s}}} << u"s"_s
        << QByteArray("W \tX  \t\r\n\xF0\x9F\x98\x80\tabc\t\r\na \t\xC3\xA9  \t\r\n\r\ns\r\n");
}

void tst_AlignedExport::fileBytes()
{
    QFETCH(ExportTable, table);
    QFETCH(QString, summary);
    QFETCH(QByteArray, expected);
    QCOMPARE(AlignedExport::fileBytes(table, summary), expected);

    QTemporaryDir folder;
    const QString path = folder.filePath(u"results.txt"_s);
    RecordingPrompts prompts;
    SaveListviewProperlySpaced(prompts, table, path, summary);
    QVERIFY(prompts.boxes.isEmpty());
    QCOMPARE(readFile(path), expected);
}

void tst_AlignedExport::savesAndReplaces()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(u"results"_s);
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(4096, 'x'));
    }
    RecordingPrompts prompts;
    SaveListviewProperlySpaced(prompts, workedExample(), path, u"Correct: 1 Wrong: 1 Score: 50%"_s);

    QVERIFY(prompts.boxes.isEmpty());
    QCOMPARE(readFile(path), AlignedExport::fileBytes(workedExample(), u"Correct: 1 Wrong: 1 Score: 50%"_s));
}

// Each failure gives one report that names the file and the reason, cited
// at the step that failed; the save stops there. A file that was there keeps
// its bytes, and nothing else is left beside it.
void tst_AlignedExport::failures_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("reason");

    QTest::addRow("folder does not exist") << u"missing folder"_s << 104 << u"No such file or directory"_s;
    QTest::addRow("read-only folder") << u"read-only folder"_s << 104 << QString();
    QTest::addRow("a folder") << u"folder"_s << 104 << u"it is a folder."_s;
    QTest::addRow("a device") << u"/dev/full"_s << 104 << u"it is not a plain file."_s;
#ifdef Q_OS_UNIX
    QTest::addRow("a pipe") << u"pipe"_s << 104 << u"it is not a plain file."_s;
    QTest::addRow("disk full halfway") << u"size limit"_s << 108 << u"File too large"_s;
#endif
}

void tst_AlignedExport::failures()
{
    QFETCH(QString, target);
    QFETCH(int, line);
    QFETCH(QString, reason);
    QTemporaryDir folder;
    QString path = folder.filePath(u"results.txt"_s);
    const QByteArray oldBytes("the results of an earlier game\r\n");
    ExportTable table = workedExample();

    if (target == u"missing folder") {
        path = folder.filePath(u"no such folder/results.txt"_s);
    } else if (target == u"read-only folder") {
        writeFile(path, oldBytes);
        QVERIFY(QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::ExeOwner));
        QFile probe(folder.filePath(u"probe"_s));
        if (probe.open(QIODevice::WriteOnly)) {
            probe.remove();
            QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            QSKIP("this user may write into read-only folders");
        }
    } else if (target == u"folder") {
        QVERIFY(QDir(folder.path()).mkdir(u"results.txt"_s));
    } else if (target == u"/dev/full") {
        path = target;
        if (!QFileInfo::exists(path))
            QSKIP("no /dev/full on this system");
    } else if (target == u"size limit") {
        writeFile(path, oldBytes);
        for (int i = 0; i < 5000; ++i)
            table.rows.append({u"word %1"_s.arg(i), u"answer"_s, u"Correct"_s});
    }

    RecordingPrompts prompts;
#ifdef Q_OS_UNIX
    std::optional<Pipe> pipe;
    if (target == u"pipe") {
        pipe.emplace(path);
        QVERIFY(pipe->isOpen());
    }
    std::optional<FileSizeLimit> sizeLimit;
    if (target == u"size limit")
        sizeLimit.emplace(64 * 1024);
    SaveListviewProperlySpaced(prompts, table, path, u"summary"_s);
    sizeLimit.reset();
    if (pipe) {
        QVERIFY(pipe->isStillAPipe());
        QVERIFY(!pipe->wasWrittenTo());
    }
#else
    SaveListviewProperlySpaced(prompts, table, path, u"summary"_s);
#endif
    QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QCOMPARE(prompts.boxes.size(), 1);
    const QString report = prompts.errors().value(0);
    const QString description = report.section(u"\r\n"_s, 0, 0);
    QVERIFY2(description.startsWith(u"Cannot save \"%1\": "_s.arg(QDir::toNativeSeparators(path))), qPrintable(report));
    QVERIFY2(description.contains(reason), qPrintable(report));
    QVERIFY2(report.contains(u"\r\nin Lexidrill2021/08/31.Main.SaveListviewProperlySpaced at line %1\r\r"_s.arg(line)),
             qPrintable(report));

    const QFileInfo after(path);
    if (target == u"/dev/full")
        QVERIFY(after.exists() && !after.isFile());
    else if (target == u"folder")
        QVERIFY(after.isDir());
    else if (target == u"missing folder")
        QVERIFY(!after.exists());
    else if (target != u"pipe")
        QCOMPARE(readFile(path), oldBytes);
    if (target != u"/dev/full") {
        QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System),
                 target == u"missing folder" ? QStringList() : QStringList{u"results.txt"_s});
    }
}

// A save killed halfway (the program ended by the system, the power gone)
// leaves the file that was there as it was. The save runs in a child: this
// test program started again, which stops halfway through the rows.
void tst_AlignedExport::killedSaveKeepsTheOldFile()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(u"results.txt"_s);
    const QByteArray oldBytes("the results of an earlier game\r\n");
    writeFile(path, oldBytes);

    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(kSaveUntilKilled), path});
    QVERIFY(child.waitForStarted());
    QByteArray said;
    while (!said.contains("saving\n") && child.state() == QProcess::Running && child.waitForReadyRead(30000))
        said += child.readAllStandardOutput();
    QVERIFY2(said.contains("saving\n"), said.constData());
    child.kill();
    QVERIFY(child.waitForFinished());

    QCOMPARE(readFile(path), oldBytes);
    QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System),
             QStringList{u"results.txt"_s});
}

namespace {

// In the child: saves a long table to the path and, halfway through its
// rows, says so on its output and waits for input that never comes, until
// it is killed.
int saveUntilKilled(const QString &path)
{
    constexpr int kRows = 2000;
    ExportTable table{kTitles, {}};
    for (int i = 0; i < kRows; ++i)
        table.rows.append({u"word %1"_s.arg(i), u"answer"_s, u"Correct"_s});
    // The export turns to the event loop once per cell while it measures the
    // columns and while it writes the title, then once per row and once per
    // cell of each row.
    const qsizetype columns = kTitles.size();
    const qsizetype halfway = columns * kRows + columns + (kRows / 2) * (columns + 1);
    qsizetype turns = 0;
    RecordingPrompts prompts;
    SaveListviewProperlySpaced(prompts, table, path, u"summary"_s, [&] {
        if (++turns != halfway)
            return;
        std::fputs("saving\n", stdout);
        std::fflush(stdout);
        std::fgetc(stdin);
        std::abort();
    });
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], kSaveUntilKilled) == 0)
        return saveUntilKilled(QString::fromLocal8Bit(argv[2]));
    tst_AlignedExport test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_alignedexport.moc"
