// SPDX-License-Identifier: GPL-3.0-or-later
#include "wordlist/wordstore.h"

#include <QTest>

using namespace Qt::StringLiterals;

class tst_WordStore : public QObject
{
    Q_OBJECT

private slots:
    void positions();
    void appendedWordsOutliveTheirSource();
};

void tst_WordStore::positions()
{
    const WordStore store = WordStore::fromText(u"cat\r\ndog\r\ncat\r\nCat\r\n"_s);
    QCOMPARE(store.count(), 4);
    QCOMPARE(store.distinctCount(), 3);
    QCOMPARE(store.word(1), u"cat"_s);
    QCOMPARE(store.word(4), u"Cat"_s);
    QCOMPARE(store.word(0), QString());
    QCOMPARE(store.word(5), QString());
}

void tst_WordStore::appendedWordsOutliveTheirSource()
{
    WordStore store = WordStore::fromText(u"cat"_s);
    QCOMPARE(store.distinctCount(), 1);
    {
        const QString elsewhere = u"dog cat"_s;
        store.append(QStringView(elsewhere).first(3));
        store.append(QStringView(elsewhere).last(3));
    }
    QCOMPARE(store.count(), 3);
    QCOMPARE(store.word(2), u"dog"_s);
    QCOMPARE(store.word(3), u"cat"_s);
    QCOMPARE(store.distinctCount(), 2);
}

QTEST_GUILESS_MAIN(tst_WordStore)
#include "tst_wordstore.moc"
