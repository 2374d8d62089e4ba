// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/typeahead.h"

#include <QTest>

using namespace Qt::StringLiterals;

class tst_TypeAhead : public QObject
{
    Q_OBJECT

private slots:
    void typedSince_data();
    void typedSince();
};

void tst_TypeAhead::typedSince_data()
{
    QTest::addColumn<QString>("judged");
    QTest::addColumn<QString>("now");
    QTest::addColumn<QString>("expected");
    QTest::addRow("nothing typed") << u"cat"_s << u"cat"_s << QString();
    QTest::addRow("typed after the answer") << u"cat"_s << u"catdo"_s << u"do"_s;
    QTest::addRow("the same word again") << u"cat"_s << u"catcat"_s << u"cat"_s;
    QTest::addRow("a repeated letter") << u"aa"_s << u"aaa"_s << u"a"_s;
    QTest::addRow("typed before the answer") << u"cat"_s << u"docat"_s << u"do"_s;
    QTest::addRow("typed in the middle") << u"cat"_s << u"cadot"_s << u"do"_s;
    QTest::addRow("the whole answer typed over") << u"cat"_s << u"dog"_s << u"dog"_s;
    QTest::addRow("a selected end typed over") << u"cats"_s << u"cado"_s << u"do"_s;
    QTest::addRow("box emptied meanwhile") << u"cat"_s << QString() << QString();
    QTest::addRow("nothing was judged") << QString() << u"do"_s << u"do"_s;
    QTest::addRow("spaces count") << u"cat "_s << u"cat  x"_s << u" x"_s;
}

void tst_TypeAhead::typedSince()
{
    QFETCH(QString, judged);
    QFETCH(QString, now);
    QFETCH(QString, expected);
    QCOMPARE(TypeAhead::typedSince(judged, now), expected);
}

QTEST_APPLESS_MAIN(tst_TypeAhead)
#include "tst_typeahead.moc"
