// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/apptitle.h"
#include "core/codepage.h"
#include "core/utilities.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

class tst_Utilities : public QObject
{
    Q_OBJECT

private slots:
    void fileNameOf_data();
    void fileNameOf();
    void lineBreaksForDisplay_data();
    void lineBreaksForDisplay();
    void collapseSeparators_data();
    void collapseSeparators();
    void besideProgramAtRootGivesDoubledSeparator();
    void fileExists();
    void pauseKeepsEventsRunning();
    void pauseReturnsAtOnceForNoTime_data();
    void pauseReturnsAtOnceForNoTime();
    void nestedPausesEachWaitTheirTime();
    void applicationTitle_data();
    void applicationTitle();
    void codePageRoundTrip_data();
    void codePageRoundTrip();
    void codePageRefusesWhatDoesNotFit_data();
    void codePageRefusesWhatDoesNotFit();
    // Last: it quits the application's event loop.
    void pauseEndsWhenProgramQuits();
};

void tst_Utilities::fileNameOf_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    QTest::addRow("full path") << u"/home/pupil/lists/week 3.txt"_s << u"week 3.txt"_s;
    QTest::addRow("no separator") << u"words.txt"_s << u"words.txt"_s;
    QTest::addRow("ends in separator") << u"/home/pupil/"_s << QString();
    QTest::addRow("spaces only") << u"   "_s << u"   "_s;
    QTest::addRow("empty") << QString() << QString();
}

void tst_Utilities::fileNameOf()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(FileNameOf(path), expected);
}

void tst_Utilities::lineBreaksForDisplay_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::addRow("CR LF") << u"a\r\nb"_s << u"a\nb"_s;
    QTest::addRow("lone CR") << u"a\rb"_s << u"a\nb"_s;
    QTest::addRow("LF") << u"a\nb"_s << u"a\nb"_s;
    QTest::addRow("two CRs make an empty line") << u"a\r\rb"_s << u"a\n\nb"_s;
    QTest::addRow("CR LF then lone CR") << u"a\r\nb\r\rc"_s << u"a\nb\n\nc"_s;
    QTest::addRow("LF CR is two breaks") << u"a\n\rb"_s << u"a\n\nb"_s;
    QTest::addRow("CR at the end") << u"a\r"_s << u"a\n"_s;
    QTest::addRow("markup untouched") << u"<b>cat</b> & a&b"_s << u"<b>cat</b> & a&b"_s;
}

void tst_Utilities::lineBreaksForDisplay()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(::lineBreaksForDisplay(text), expected);
}

void tst_Utilities::collapseSeparators_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    QTest::addRow("clean") << u"C:\\Prog\\Sounds\\right.wav"_s << u"C:\\Prog\\Sounds\\right.wav"_s;
    QTest::addRow("drive root") << u"C:\\\\Sounds\\right.wav"_s << u"C:\\Sounds\\right.wav"_s;
    QTest::addRow("three become two") << u"a\\\\\\b"_s << u"a\\\\b"_s;
    QTest::addRow("four become two") << u"a\\\\\\\\b"_s << u"a\\\\b"_s;
    QTest::addRow("network path") << u"\\\\server\\share\\\\x.wav"_s << u"\\\\server\\share\\x.wav"_s;
    QTest::addRow("single leading gets two") << u"\\Sounds\\x.wav"_s << u"\\\\Sounds\\x.wav"_s;
    QTest::addRow("many leading keep two") << u"\\\\\\\\srv\\a"_s << u"\\\\srv\\a"_s;
    QTest::addRow("empty") << QString() << QString();
}

void tst_Utilities::collapseSeparators()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(::collapseSeparators(path, u'\\'), expected);
    // The platform's own separator follows the same rule, but for the root.
    QString native = path;
    native.replace(u'\\', pathSeparator());
    QString nativeExpected = expected;
    nativeExpected.replace(u'\\', pathSeparator());
#ifndef Q_OS_WIN
    // Every absolute path starts with the separator here; none is a network path.
    if (nativeExpected.startsWith(QString(2, pathSeparator())))
        nativeExpected.remove(0, 1);
#endif
    QCOMPARE(CollapseBackslashes(native), nativeExpected);
}

void tst_Utilities::besideProgramAtRootGivesDoubledSeparator()
{
    const QString sep = pathSeparator();
    const QString atRoot = besideProgram(sep, u"\\Sounds\\right.wav");
    QCOMPARE(atRoot, sep + sep + u"Sounds"_s + sep + u"right.wav"_s);
    QCOMPARE(besideProgram(u"/opt/lexidrill"_s, u"\\HAND-M.CUR"), u"/opt/lexidrill"_s + sep + u"HAND-M.CUR"_s);
}

void tst_Utilities::fileExists()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(u"list with spaces.txt"_s);
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    QVERIFY(FileExists(file));
    QVERIFY(FileExists(dir.path()));
    QVERIFY(!FileExists(dir.filePath(u"missing.txt"_s)));
    QVERIFY(!FileExists(QString()));
    QVERIFY(!FileExists(dir.filePath(u"*.txt"_s)));
}

void tst_Utilities::pauseKeepsEventsRunning()
{
    bool ran = false;
    QTimer::singleShot(10, this, [&] { ran = true; });
    QElapsedTimer clock;
    clock.start();
    Pause(0.2);
    QVERIFY(ran);
    QVERIFY(clock.elapsed() >= 195);
}

void tst_Utilities::pauseReturnsAtOnceForNoTime_data()
{
    QTest::addColumn<double>("seconds");
    QTest::addRow("zero") << 0.0;
    QTest::addRow("negative") << -5.0;
    QTest::addRow("not a number") << std::nan("");
}

void tst_Utilities::pauseReturnsAtOnceForNoTime()
{
    QFETCH(double, seconds);
    bool ran = false;
    QObject context; // the timer dies with the test's locals
    QTimer::singleShot(0, &context, [&] { ran = true; });
    Pause(seconds);
    QVERIFY(!ran); // no event was processed: it returned at once
}

void tst_Utilities::nestedPausesEachWaitTheirTime()
{
    QElapsedTimer inner;
    qint64 innerWaited = -1;
    QTimer::singleShot(20, this, [&] {
        inner.start();
        Pause(0.1);
        innerWaited = inner.elapsed();
    });
    QElapsedTimer outer;
    outer.start();
    Pause(0.05);
    QVERIFY(outer.elapsed() >= 45);
    QTRY_VERIFY(innerWaited >= 95);
}

void tst_Utilities::applicationTitle_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    QTest::addRow("one word keeps the name") << u"Lexidrill"_s << u"Lexidrill"_s;
    QTest::addRow("two words lose the last") << u"Lexidrill Deluxe"_s << u"Lexidrill"_s;
    QTest::addRow("long name loses words until short") << u"Spelling Practice For Every Pupil In The Whole Wide World"_s
                                                       << u"Spelling Practice For Every Pupil In The"_s;
}

void tst_Utilities::applicationTitle()
{
    QFETCH(QString, name);
    QFETCH(QString, expected);
    QCOMPARE(applicationTitleFor(name), expected);
    QVERIFY(expected.size() <= 40);
}

void tst_Utilities::codePageRoundTrip_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addRow("ascii") << QByteArray("cat") << u"cat"_s;
    QTest::addRow("latin letters") << QByteArray("caf\xE9 \xFC\xDF") << u"café üß"_s;
    QTest::addRow("euro and quotes") << QByteArray("\x80 \x93x\x94 \x85") << u"€ “x” …"_s;
    QTest::addRow("undefined byte keeps its value") << QByteArray("\x81") << u"\u0081"_s;
    QTest::addRow("y with diaeresis") << QByteArray("\xFF\x9F") << u"ÿŸ"_s;
}

void tst_Utilities::codePageRoundTrip()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(CodePage::decodeAnsi(bytes), text);
    QCOMPARE(CodePage::encodeAnsi(text).value_or(QByteArray("<none>")), bytes);
}

void tst_Utilities::codePageRefusesWhatDoesNotFit_data()
{
    QTest::addColumn<QString>("text");
    QTest::addRow("greek") << u"ωμέγα"_s;
    QTest::addRow("cjk") << u"漢字"_s;
    QTest::addRow("emoji") << u"cat 🐈"_s;
}

void tst_Utilities::codePageRefusesWhatDoesNotFit()
{
    QFETCH(QString, text);
    QVERIFY(!CodePage::encodeAnsi(text).has_value());
}

void tst_Utilities::pauseEndsWhenProgramQuits()
{
    qint64 waited = -1;
    QTimer::singleShot(0, this, [&] {
        QCoreApplication::quit();
        QElapsedTimer clock;
        clock.start();
        Pause(30);
        waited = clock.elapsed();
    });
    QCoreApplication::exec();
    QVERIFY(waited >= 0);
    QVERIFY2(waited < 10000, qPrintable(QString::number(waited)));
}

QTEST_GUILESS_MAIN(tst_Utilities)
#include "tst_utilities.moc"
