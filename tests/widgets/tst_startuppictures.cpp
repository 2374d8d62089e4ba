// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/cursorfile.h"
#include "widgets/looks.h"

#include <QFile>
#include <QIcon>
#include <QPixmap>
#include <QTest>

using namespace Qt::StringLiterals;

// The pictures read before the main window is first shown: the program icon
// and the hand pointer. Each is read by its own reader, without loading the
// other image format plugins to ask them first.
class tst_StartUpPictures : public QObject
{
    Q_OBJECT

private slots:
    // In this order: the icon needs no plugin, the pointer only its own.
    void programIconHoldsEverySize_data();
    void programIconHoldsEverySize();
    void noImagePluginForTheIcon();
    void handPointer();
};

namespace {

// The image format plugins loaded into this process, by file name.
QStringList loadedImagePlugins()
{
    QFile maps(u"/proc/self/maps"_s);
    if (!maps.open(QIODevice::ReadOnly))
        return {u"(no /proc/self/maps)"_s};
    QStringList plugins;
    for (const QByteArray &line : maps.readAll().split('\n')) {
        const qsizetype at = line.indexOf("/imageformats/");
        if (at >= 0) {
            const QString name = QString::fromLocal8Bit(line.mid(at + 14));
            if (!plugins.contains(name))
                plugins.append(name);
        }
    }
    return plugins;
}

} // namespace

void tst_StartUpPictures::programIconHoldsEverySize_data()
{
    QTest::addColumn<int>("size");
    for (const int size : {16, 24, 32, 48, 64, 128, 256})
        QTest::addRow("%d px", size) << size;
}

void tst_StartUpPictures::programIconHoldsEverySize()
{
    QFETCH(int, size);
    const QIcon icon = Looks::programIcon();
    QVERIFY(icon.availableSizes().contains(QSize(size, size)));
    const QPixmap picture = icon.pixmap(QSize(size, size));
    QCOMPARE(picture.size(), QSize(size, size));
    // Not a blank square: the picture has both drawn and clear pixels.
    const QImage image = picture.toImage();
    QVERIFY(image.pixelColor(size / 2, size / 2).alpha() > 0);
    QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
}

void tst_StartUpPictures::noImagePluginForTheIcon()
{
    Looks::programIcon();
    QCOMPARE(loadedImagePlugins(), QStringList());
}

void tst_StartUpPictures::handPointer()
{
    QFile file(QStringLiteral(LEXIDRILL_HAND_CURSOR));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const auto picture = readCursorFile(file.readAll());
    QVERIFY(picture);
    QVERIFY(!picture->image.isNull());
    QCOMPARE(picture->hotSpot, QPoint(7, 1));
    const QStringList plugins = loadedImagePlugins();
    QCOMPARE(plugins.size(), 1);
    QVERIFY2(plugins.first().startsWith(u"libqico"_s), qPrintable(plugins.first()));
}

QTEST_MAIN(tst_StartUpPictures)
#include "tst_startuppictures.moc"
