// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/commandline.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_CommandLine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void parse_data();
    void parse();

private:
    QTemporaryDir m_folder;
    QString m_startFolder;
};

void tst_CommandLine::initTestCase()
{
    // Relative names are taken from the current folder: a folder holding a
    // word list, a list whose name starts with a dash, and a subfolder.
    QVERIFY(m_folder.isValid());
    for (const QString &name : {u"list.txt"_s, u"-dash.txt"_s}) {
        QFile file(m_folder.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("one\ntwo\n");
    }
    QVERIFY(QDir(m_folder.path()).mkdir(u"folder"_s));
    m_startFolder = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_folder.path()));
}

void tst_CommandLine::cleanupTestCase()
{
    QDir::setCurrent(m_startFolder);
}

void tst_CommandLine::parse_data()
{
    QTest::addColumn<QStringList>("arguments");
    // -1: the program goes on and opens its window.
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("messageStart");
    QTest::addColumn<QString>("messageHolds");
    // Relative to the current folder; empty for none.
    QTest::addColumn<QString>("wordList");

    const QString usage = u"Usage: lexidrill [options] [FILE]\n"_s;
    const QString version = u"Lexidrill " LEXIDRILL_VERSION "\n"_s;
    const QString error = u"lexidrill: "_s;
    const QString tryHelp = u"\nTry 'lexidrill --help' for more information.\n"_s;

    QTest::addRow("nothing") << QStringList() << -1 << QString() << QString() << QString();
    QTest::addRow("--help") << QStringList{u"--help"_s} << 0 << usage << u"--version"_s << QString();
    QTest::addRow("-h") << QStringList{u"-h"_s} << 0 << usage << u"FILE"_s << QString();
    QTest::addRow("help before an unknown option")
        << QStringList{u"--help"_s, u"--bogus"_s} << 2 << error << u"'bogus'"_s << QString();
    QTest::addRow("--version") << QStringList{u"--version"_s} << 0 << version << version << QString();
    QTest::addRow("-v") << QStringList{u"-v"_s} << 0 << version << version << QString();
    QTest::addRow("unknown option") << QStringList{u"--bogus"_s} << 2 << error << u"Unknown option 'bogus'."_s + tryHelp
                                    << QString();
    QTest::addRow("Qt's own option, one word")
        << QStringList{u"-platform"_s, u"xcb"_s} << 2 << error << u"'platform'"_s << QString();
    QTest::addRow("--help-all is not taken")
        << QStringList{u"--help-all"_s} << 2 << error << u"'help-all'"_s << QString();
    QTest::addRow("unknown option beside a good list")
        << QStringList{u"list.txt"_s, u"-x"_s} << 2 << error << u"'x'"_s << QString();
    QTest::addRow("relative list") << QStringList{u"list.txt"_s} << -1 << QString() << QString() << u"list.txt"_s;
    QTest::addRow("list named with a dash, after --")
        << QStringList{u"--"_s, u"-dash.txt"_s} << -1 << QString() << QString() << u"-dash.txt"_s;
    QTest::addRow("two lists") << QStringList{u"list.txt"_s, u"--"_s, u"-dash.txt"_s} << 2 << error
                               << u"one word list at a time"_s << QString();
    QTest::addRow("missing list") << QStringList{u"missing.txt"_s} << 2 << error << u"'missing.txt'."_s + tryHelp
                                  << QString();
    QTest::addRow("a folder") << QStringList{u"folder"_s} << 2 << error << u"'folder'"_s << QString();
}

void tst_CommandLine::parse()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, messageStart);
    QFETCH(QString, messageHolds);
    QFETCH(QString, wordList);

    const CommandLine result = parseCommandLine(QStringList{u"/usr/bin/lexidrill"_s} + arguments);

    QCOMPARE(result.exitCode.value_or(-1), exitCode);
    QVERIFY2(result.message.startsWith(messageStart), qPrintable(result.message));
    QVERIFY2(result.message.contains(messageHolds), qPrintable(result.message));
    QCOMPARE(result.wordList, wordList.isEmpty() ? QString() : QDir::current().absoluteFilePath(wordList));
}

QTEST_GUILESS_MAIN(tst_CommandLine)
#include "tst_commandline.moc"
