#include "testprogram.h"

#include "results/alignedexport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QStringList kTitles{u"Given word"_s, u"Your spelling"_s, u"Result"_s};

ExportTable workedExample()
{
    return {kTitles, {{u"cat"_s, u"cat"_s, u"Correct"_s}, {u"dog"_s, u"dgo"_s, u"Wrong"_s}}};
}


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
};

void tst_AlignedExport::fileBytes_data()
{
    QTest::addColumn<ExportTable>("table");
    QTest::addColumn<QString>("summary");
    QTest::addColumn<QByteArray>("expected");

    QTest::addRow("two answers")
        << workedExample() << u"Correct: 1 Wrong: 1 Score: 50%"_s
        << QByteArray("Given word\tYour spelling\tResult \t\r\n"
                      "cat       \tcat          \tCorrect\t\r\n"
                      "dog       \tdgo          \tWrong  \t\r\n"
                      "\r\n"
                      "Correct: 1 Wrong: 1 Score: 50%\r\n");
    QTest::addRow("no rows")
        << ExportTable{kTitles, {}} << u"Correct: 0 Wrong: 0 Score: 0%"_s
        << QByteArray("Given word\tYour spelling\tResult\t\r\n\r\nCorrect: 0 Wrong: 0 Score: 0%\r\n");
    QTest::addRow("a text longer than its title")
        << ExportTable{kTitles, {{u"accommodation"_s, u"acomodation"_s, u"Wrong"_s}}} << u"s"_s
        << QByteArray("Given word   \tYour spelling\tResult\t\r\n"
                      "accommodation\tacomodation  \tWrong \t\r\n\r\ns\r\n");
    QTest::addRow("tab inside a text written unchanged")
        << ExportTable{{u"A"_s, u"B"_s}, {{u"a\tb"_s, u"c"_s}}} << u"s"_s
        << QByteArray("A  \tB\t\r\na\tb\tc\t\r\n\r\ns\r\n");
    QTest::addRow("short row has empty cells")
        << ExportTable{{u"A"_s, u"B"_s}, {{u"xy"_s}}} << u"s"_s
        << QByteArray("A \tB\t\r\nxy\t \t\r\n\r\ns\r\n");
    QTest::addRow("accents fit the code page")
        << ExportTable{{u"Word"_s}, {{u"café"_s}}} << u"Score: 100%"_s
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

void tst_AlignedExport::failures_data()
{
    QTest::addColumn<QString>("where");   // "missing folder", "read-only folder" or "full disk"
    QTest::addColumn<QList<int>>("lines");
    QTest::addRow("folder does not exist") << u"missing folder"_s << QList<int>{104, 106, 108, 108, 110, 112, 114};
    QTest::addRow("read-only folder") << u"read-only folder"_s << QList<int>{104, 106, 108, 108, 110, 112, 114};
    QTest::addRow("every write fails") << u"full disk"_s << QList<int>{106, 108, 108, 110, 112};
}

void tst_AlignedExport::failures()
{
    QFETCH(QString, where);
    QFETCH(QList<int>, lines);
    QTemporaryDir folder;
    QString path;
    if (where == u"missing folder") {
        path = folder.filePath(u"no such folder/results.txt"_s);
    } else if (where == u"read-only folder") {
        QVERIFY(QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::ExeOwner));
        path = folder.filePath(u"results.txt"_s);
        QFile probe(folder.filePath(u"probe"_s));
        if (probe.open(QIODevice::WriteOnly)) {
            probe.remove();
            QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            QSKIP("this user may write into read-only folders");
        }
    } else {
        path = u"/dev/full"_s;
        if (!QFileInfo::exists(path))
            QSKIP("no /dev/full on this system");
    }

    RecordingPrompts prompts;
    SaveListviewProperlySpaced(prompts, workedExample(), path, u"summary"_s);
    QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QCOMPARE(prompts.boxes.size(), lines.size());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString text = prompts.errors().value(i);
        QVERIFY2(text.contains(u"\r\nin Lexidrill2021/08/31.Main.SaveListviewProperlySpaced at line %1\r\r"_s
                                   .arg(lines[i])),
                 qPrintable(text));
        QVERIFY(!text.startsWith(u"\r\n"_s));
    }
    if (where != u"full disk")
        QVERIFY(!QFileInfo::exists(path));
}

QTEST_GUILESS_MAIN(tst_AlignedExport)
#include "tst_alignedexport.moc"
