// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/errorreport.h"
#include "fakes.h"

#include <QTest>
#include <stdexcept>

using namespace Qt::StringLiterals;

namespace {

// A helper without a report of its own: its failure passes to the caller.
void helperThatFailsHalfway(QStringList &done)
{
    done.append(u"helper started"_s);
    throw Failure(u"Permission denied"_s);
}

} // namespace

class tst_ErrorReport : public QObject
{
    Q_OBJECT

private slots:
    void reportText();
    void locationKeepsTrailingSpace();
    void failingStepIsReportedAndProcedureGoesOn();
    void failingConditionRunsGuardedSteps();
    void helperFailureCitesCallerStep();
    void descriptions_data();
    void descriptions();
};

void tst_ErrorReport::reportText()
{
    const QString text = errorReportText(u"File not found"_s, locationText(u"Form1", u"Form_Load"), 100);
    QCOMPARE(text,
             u"File not found\r\nin Lexidrill2021/08/31.Form1.Form_Load at line 100\r\r"
             "Please email screenshot of this message to support@marrowfen.example"_s);
}

void tst_ErrorReport::locationKeepsTrailingSpace()
{
    QCOMPARE(locationText(u"modDictionary", u"loadDictionaryFile"),
             u"in Lexidrill2021/08/31.modDictionary.loadDictionaryFile "_s);
}

void tst_ErrorReport::failingStepIsReportedAndProcedureGoesOn()
{
    RecordingPrompts prompts;
    QStringList done;
    Steps s(prompts, u"Form1", u"PushButton3_Click");
    s.step(100, [&] { done.append(u"100"_s); });
    s.step(102, [&] { throw Failure(u"first"_s); });
    s.step(104, [&] { done.append(u"104"_s); });
    s.step(106, [&] { throw Failure(u"second"_s); });
    s.step(108, [&] { done.append(u"108"_s); });

    QCOMPARE(done, (QStringList{u"100"_s, u"104"_s, u"108"_s}));
    QCOMPARE(
        prompts.errors(),
        (QStringList{errorReportText(u"first"_s, s.location(), 102), errorReportText(u"second"_s, s.location(), 106)}));
    QCOMPARE(prompts.boxes.size(), 2);
}

void tst_ErrorReport::failingConditionRunsGuardedSteps()
{
    RecordingPrompts prompts;
    QStringList done;
    Steps s(prompts, u"Form1", u"PushButton11_Click");
    if (s.test(100, [&]() -> bool { throw Failure(u"Device not ready"_s); }))
        s.step(102, [&] { done.append(u"guarded"_s); });
    else
        s.step(104, [&] { done.append(u"other branch"_s); });
    QCOMPARE(done, QStringList{u"guarded"_s});
    QCOMPARE(prompts.errors().size(), 1);
    QVERIFY(prompts.errors().constFirst().contains(u"at line 100\r\r"_s));
}

void tst_ErrorReport::helperFailureCitesCallerStep()
{
    RecordingPrompts prompts;
    QStringList done;
    Steps s(prompts, u"Form1", u"Form_Load");
    s.step(100, [&] {
        helperThatFailsHalfway(done);
        done.append(u"rest of helper"_s);
    });
    s.step(102, [&] { done.append(u"next step"_s); });
    QCOMPARE(done, (QStringList{u"helper started"_s, u"next step"_s}));
    QCOMPARE(prompts.errors(),
             QStringList{u"Permission denied\r\nin Lexidrill2021/08/31.Form1.Form_Load at line 100\r\r"
                         "Please email screenshot of this message to support@marrowfen.example"_s});
}

void tst_ErrorReport::descriptions_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("firstLine");
    QTest::addRow("our failure") << 0 << u"Access denied"_s;
    QTest::addRow("empty description") << 1 << QString();
    QTest::addRow("standard exception") << 2 << u"vector too long"_s;
    QTest::addRow("unknown exception") << 3 << u"Unexpected failure"_s;
}

void tst_ErrorReport::descriptions()
{
    QFETCH(int, kind);
    QFETCH(QString, firstLine);
    RecordingPrompts prompts;
    Steps s(prompts, u"Main", u"SaveListviewProperlySpaced");
    s.step(110, [&] {
        switch (kind) {
        case 0:
            throw Failure(u"Access denied"_s);
        case 1:
            throw Failure(QString());
        case 2:
            throw std::length_error("vector too long");
        default:
            throw 42;
        }
    });
    QCOMPARE(prompts.errors().size(), 1);
    QCOMPARE(prompts.errors().constFirst().section(u"\r\n"_s, 0, 0), firstLine);
    QVERIFY(prompts.errors().constFirst().contains(
        u"\r\nin Lexidrill2021/08/31.Main.SaveListviewProperlySpaced at line 110\r\r"_s));
}

QTEST_GUILESS_MAIN(tst_ErrorReport)
#include "tst_errorreport.moc"
