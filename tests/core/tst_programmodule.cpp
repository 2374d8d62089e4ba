// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/failure.h"
#include "core/programmodule.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_ProgramModule : public QObject
{
    Q_OBJECT

private slots:
    void findsTheModuleBesideOrInstalled_data();
    void findsTheModuleBesideOrInstalled();
    void aModuleThatCannotServeIsAFailureNamingIt_data();
    void aModuleThatCannotServeIsAFailureNamingIt();
    void loadsTheModuleBesideTheProgram();
};

void tst_ProgramModule::findsTheModuleBesideOrInstalled_data()
{
    // Whether the module is in <prefix>/bin beside the program and in the
    // installed modules' folder, and the folder it is expected in.
    QTest::addColumn<bool>("beside");
    QTest::addColumn<bool>("installed");
    QTest::addColumn<QString>("expected");
    const QString modules = QStringLiteral(LEXIDRILL_INSTALLED_MODULES);
    QTest::addRow("build folder") << true << false << u"bin"_s;
    QTest::addRow("installed") << false << true << modules;
    QTest::addRow("in both: the program's folder wins") << true << true << u"bin"_s;
    QTest::addRow("nowhere: the installed folder, to be reported") << false << false << modules;
}

void tst_ProgramModule::findsTheModuleBesideOrInstalled()
{
    QFETCH(bool, beside);
    QFETCH(bool, installed);
    QFETCH(QString, expected);
    QTemporaryDir prefix;
    QVERIFY(prefix.isValid());
    const QString file = u"lexidrill-sound.so"_s;
    const auto create = [&](const QString &folder, bool wanted) {
        QVERIFY(QDir(prefix.path()).mkpath(folder));
        if (wanted) {
            QFile module(prefix.filePath(folder + u'/' + file));
            QVERIFY(module.open(QIODevice::WriteOnly));
        }
    };
    create(u"bin"_s, beside);
    create(QStringLiteral(LEXIDRILL_INSTALLED_MODULES), installed);
    QCOMPARE(programModuleFile(prefix.filePath(u"bin"_s), u"sound"_s), prefix.filePath(expected + u'/' + file));
}

void tst_ProgramModule::aModuleThatCannotServeIsAFailureNamingIt_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("symbol");
    QTest::addColumn<QString>("named");
    QTest::addRow("no such module") << u"missing"_s << QByteArray("lexidrillNewSoundPlayer")
                                    << u"lexidrill-missing.so"_s;
    QTest::addRow("a module without the function")
        << u"sound"_s << QByteArray("lexidrillNewScoreChart") << u"lexidrillNewScoreChart"_s;
}

void tst_ProgramModule::aModuleThatCannotServeIsAFailureNamingIt()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, symbol);
    QFETCH(QString, named);
    try {
        programModuleFunction(name, symbol.constData());
        QFAIL("no failure");
    } catch (const Failure &failure) {
        QVERIFY2(failure.description().contains(named), qPrintable(failure.description()));
    }
}

void tst_ProgramModule::loadsTheModuleBesideTheProgram()
{
    QVERIFY(programModuleFunction(u"sound"_s, "lexidrillNewSoundPlayer"));
}

QTEST_GUILESS_MAIN(tst_ProgramModule)
#include "tst_programmodule.moc"
