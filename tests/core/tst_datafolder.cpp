// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/datafolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_DataFolder : public QObject
{
    Q_OBJECT

private slots:
    void findsTheFolderThatHoldsTheFiles_data();
    void findsTheFolderThatHoldsTheFiles();
};

namespace {

void createFiles(const QString &folder, const QStringList &files)
{
    for (const QString &name : files) {
        const QString path = folder + u'/' + name;
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
}

} // namespace

void tst_DataFolder::findsTheFolderThatHoldsTheFiles_data()
{
    // Files under <prefix>/bin (the program's folder) and under
    // <prefix>/share/lexidrill, and which of the two is expected.
    QTest::addColumn<QStringList>("inProgramFolder");
    QTest::addColumn<QStringList>("inShareFolder");
    QTest::addColumn<QString>("expected");

    const QStringList all{u"Samples/One-To-Ten.txt"_s, u"Sounds/right.wav"_s, u"HAND-M.CUR"_s};
    QTest::addRow("build folder") << all << QStringList() << u"bin"_s;
    QTest::addRow("Windows-style, only the hand pointer left")
        << QStringList{u"lexidrill.exe"_s, u"HAND-M.CUR"_s} << QStringList() << u"bin"_s;
    QTest::addRow("Windows-style, only the sounds left")
        << QStringList{u"Sounds/wrong.wav"_s} << QStringList() << u"bin"_s;
    QTest::addRow("installed") << QStringList{u"lexidrill"_s} << all << u"share/lexidrill"_s;
    QTest::addRow("installed, only the sample lists")
        << QStringList() << QStringList{u"Samples/One-To-Ten.txt"_s} << u"share/lexidrill"_s;
    QTest::addRow("files in both: the program's folder wins") << all << all << u"bin"_s;
    QTest::addRow("files nowhere: the program's folder") << QStringList() << QStringList() << u"bin"_s;
    QTest::addRow("other programs' files beside")
        << QStringList{u"samples.txt"_s, u"sounds"_s, u"hand.cur"_s} << all << u"share/lexidrill"_s;
}

void tst_DataFolder::findsTheFolderThatHoldsTheFiles()
{
    QFETCH(QStringList, inProgramFolder);
    QFETCH(QStringList, inShareFolder);
    QFETCH(QString, expected);

    QTemporaryDir prefix;
    QVERIFY(prefix.isValid());
    const QString bin = prefix.filePath(u"bin"_s);
    const QString share = prefix.filePath(u"share/lexidrill"_s);
    QVERIFY(QDir().mkpath(bin));
    createFiles(bin, inProgramFolder);
    if (!inShareFolder.isEmpty())
        createFiles(share, inShareFolder);

    QCOMPARE(dataFolder(bin), prefix.filePath(expected));
}

QTEST_GUILESS_MAIN(tst_DataFolder)
#include "tst_datafolder.moc"
