// The icon-file loader: entry picking, palette sizes, decoding of every depth with its
// row padding, composing and alpha blending, the loader's messages and surfaces, and the
// icon files that ship with the program.
#include "../support/ScriptedSeams.h"
#include "IconBuilder.h"
#include "auxiliary/icon/IconFormat.h"
#include "auxiliary/icon/IconLoader.h"

#include <QtTest>

using namespace kt;
using namespace kt::icon;
using kt::test::IconSpec;

namespace {
using Sizes = QVector<std::tuple<int, int, int>>;

int pick(const QByteArray& bytes)
{
    return PickIconEntry(MemorySource(bytes));
}

QByteArray patch16(QByteArray bytes, int offset, quint16 v)
{
    qToLittleEndian(v, bytes.data() + offset);
    return bytes;
}

QByteArray patch32(QByteArray bytes, int offset, quint32 v)
{
    qToLittleEndian(v, bytes.data() + offset);
    return bytes;
}

// Distinct colours by position, so flipped rows, swapped nibbles or skipped padding show.
quint32 paletteIndex(int x, int y, int colours)
{
    return quint32((x * 7 + y * 3 + (x / 4) * y) % colours);
}

QVector<quint32> makePalette(int n)
{
    QVector<quint32> p;
    for (int i = 0; i < n; ++i)
        p.append(packRgb((i * 37) & 0xFF, (i * 91 + 5) & 0xFF, (255 - i) & 0xFF));
    return p;
}

int maskAt(int x, int y)
{
    return (x < 3 || y == 0 || (x + y) % 11 == 0) ? 1 : 0;
}

QString tempFile(QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}
} // namespace

class TestIconLoader : public QObject
{
    Q_OBJECT
private slots:
    void pickEntry_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("expected");
        QTest::newRow("one 32x32 32-bit") << test::buildSimple(Sizes{{32, 32, 32}}) << 0;
        QTest::newRow("one 16x16") << test::buildSimple(Sizes{{16, 16, 8}}) << 0;
        QTest::newRow("one 48x48") << test::buildSimple(Sizes{{48, 48, 32}}) << -1;
        QTest::newRow("one 16x32 is picked") << test::buildSimple(Sizes{{16, 32, 8}}) << 0;
        QTest::newRow("16 then 32") << test::buildSimple(Sizes{{16, 16, 32}, {32, 32, 32}}) << 1;
        QTest::newRow("32 then 16") << test::buildSimple(Sizes{{32, 32, 4}, {16, 16, 32}}) << 0;
        QTest::newRow("32x8 then 32x32") << test::buildSimple(Sizes{{32, 32, 8}, {32, 32, 32}}) << 1;
        QTest::newRow("32x32 then 32x8") << test::buildSimple(Sizes{{32, 32, 32}, {32, 32, 8}}) << 0;
        QTest::newRow("first 32-bit 32x32 stops the walk")
            << test::buildSimple(Sizes{{32, 32, 4}, {32, 32, 8}, {32, 32, 32}, {32, 32, 32}}) << 2;
        QTest::newRow("later 16 does not replace 16")
            << test::buildSimple(Sizes{{48, 48, 32}, {16, 16, 4}, {16, 16, 32}}) << 1;
        QTest::newRow("16 at index 0 counts") << test::buildSimple(Sizes{{16, 16, 8}, {48, 48, 32}}) << 0;
        QTest::newRow("no 16 or 32") << test::buildSimple(Sizes{{48, 48, 32}, {64, 64, 32}}) << -1;
        QTest::newRow("16x32 among several is skipped")
            << test::buildSimple(Sizes{{16, 32, 8}, {24, 24, 8}}) << -1;

        const QByteArray good = test::buildSimple(Sizes{{32, 32, 32}});
        QTest::newRow("type 2") << patch16(good, 2, 2) << -1;
        QTest::newRow("count 0") << patch16(good, 4, 0) << -1;
        QTest::newRow("first width 0") << QByteArray(good).replace(6, 1, QByteArray(1, '\0')) << -1;
        QTest::newRow("first height 0") << QByteArray(good).replace(7, 1, QByteArray(1, '\0')) << -1;
        QTest::newRow("bytes in resource 0") << patch32(good, 6 + 8, 0) << -1;
        QTest::newRow("image offset 0") << patch32(good, 6 + 12, 0) << -1;
        QTest::newRow("count beyond the directory") << patch16(good, 4, 2000) << -1;
        QTest::newRow("truncated directory") << good.left(6 + 15) << -1;
        QTest::newRow("header only") << good.left(6) << -1;
        QTest::newRow("empty") << QByteArray() << -1;
    }
    void pickEntry()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, expected);
        QCOMPARE(pick(file), expected);
    }

    void colourCount_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("bits");
        QTest::addColumn<int>("expected");
        QTest::newRow("1 bit") << 0 << 1 << 2;
        QTest::newRow("2 bit") << 0 << 2 << 4;
        QTest::newRow("4 bit") << 0 << 4 << 16;
        QTest::newRow("8 bit") << 0 << 8 << 256;
        QTest::newRow("0 bit") << 0 << 0 << 256;
        QTest::newRow("9 bit") << 0 << 9 << -1;
        QTest::newRow("24 bit") << 0 << 24 << -1;
        QTest::newRow("32 bit") << 0 << 32 << -1;
        QTest::newRow("field 2") << 2 << 8 << 2;
        QTest::newRow("field 16") << 16 << 1 << 16;
        QTest::newRow("field 1") << 1 << 8 << 2;
        QTest::newRow("field 3") << 3 << 8 << 16;
        QTest::newRow("field 255") << 255 << 32 << 16;
    }
    void colourCount()
    {
        QFETCH(int, field);
        QFETCH(int, bits);
        QFETCH(int, expected);
        IconDirEntry e;
        e.colourCount = quint8(field);
        QCOMPARE(IconColourCount(e, bits), expected);
    }

    void maskBitsAndSplit()
    {
        for (int n = 0; n < 8; ++n) {
            QCOMPARE(GetMaskBit(quint8(0x80 >> n), n), 1);
            QCOMPARE(GetMaskBit(quint8(~(0x80 >> n)), n), 0);
        }
        QCOMPARE(SplitColour(0x123456), (Rgb{0x56, 0x34, 0x12}));
        QCOMPARE(SplitColour(-5), (Rgb{0, 0, 0}));
    }

    // Each palette depth and size: colours, mask and padding decoded per pixel.
    void readPaletteImages_data()
    {
        QTest::addColumn<int>("side");
        QTest::addColumn<int>("bits");
        QTest::addColumn<int>("colours");
        QTest::newRow("16x16 1-bit (2 padding bytes per row)") << 16 << 1 << 2;
        QTest::newRow("32x32 1-bit") << 32 << 1 << 2;
        QTest::newRow("16x16 4-bit") << 16 << 4 << 16;
        QTest::newRow("32x32 4-bit") << 32 << 4 << 16;
        QTest::newRow("16x16 8-bit") << 16 << 8 << 256;
        QTest::newRow("32x32 8-bit") << 32 << 8 << 256;
    }
    void readPaletteImages()
    {
        QFETCH(int, side);
        QFETCH(int, bits);
        QFETCH(int, colours);
        IconSpec s;
        s.width = s.height = side;
        s.bitCount = bits;
        s.palette = makePalette(colours);
        s.pixel = [colours](int x, int y) { return paletteIndex(x, y, colours); };
        s.mask = maskAt;
        const QByteArray bytes = test::buildIcon({s}, {colours});
        const auto image = ReadIconImage(MemorySource(bytes), 0);
        QVERIFY(image);
        QCOMPARE(image->width, side);
        QCOMPARE(image->bitCount, bits);
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x) {
                QCOMPARE(image->colour.at(image->at(x, y)), s.palette.at(int(paletteIndex(x, y, colours))));
                QCOMPARE(int(image->mask.at(image->at(x, y))), maskAt(x, y));
                QCOMPARE(int(image->alpha.at(image->at(x, y))), 0);
            }
    }

    void readTrueColourImages_data()
    {
        QTest::addColumn<int>("side");
        QTest::addColumn<int>("bits");
        QTest::newRow("16x16 24-bit") << 16 << 24;
        QTest::newRow("32x32 24-bit") << 32 << 24;
        QTest::newRow("16x16 32-bit") << 16 << 32;
        QTest::newRow("32x32 32-bit") << 32 << 32;
    }
    void readTrueColourImages()
    {
        QFETCH(int, side);
        QFETCH(int, bits);
        auto argb = [](int x, int y) {
            return (quint32((x * 8) & 0xFF) << 24) | (quint32(x * 5) << 16) | (quint32(y * 7) << 8) |
                   quint32((x ^ y) * 3);
        };
        IconSpec s;
        s.width = s.height = side;
        s.bitCount = bits;
        s.pixel = argb;
        s.mask = maskAt;
        const QByteArray bytes = test::buildIcon({s}, {0});
        const auto image = ReadIconImage(MemorySource(bytes), 0);
        QVERIFY(image);
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x) {
                QCOMPARE(image->colour.at(image->at(x, y)), argb(x, y) & 0xFFFFFF);
                QCOMPARE(int(image->alpha.at(image->at(x, y))), bits == 32 ? int(argb(x, y) >> 24) : 0);
                QCOMPARE(int(image->mask.at(image->at(x, y))), maskAt(x, y));
            }
    }

    void readRejects_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("index");
        const QByteArray good = test::buildSimple(Sizes{{32, 32, 32}});
        QTest::newRow("good file reads") << good << -100; // control row: must succeed at index 0
        QTest::newRow("16x32") << test::buildSimple(Sizes{{16, 32, 8}}) << 0;
        QTest::newRow("48x48") << test::buildSimple(Sizes{{48, 48, 32}}) << 0;
        QTest::newRow("2-bit palette") << test::buildSimple(Sizes{{32, 32, 2}}) << 0;
        QTest::newRow("3-bit palette") << test::buildSimple(Sizes{{32, 32, 3}}) << 0;
        QTest::newRow("index past the last entry") << good << 1;
        QTest::newRow("negative index") << good << -1;
        QTest::newRow("last mask byte missing") << good.chopped(1) << 0;
        QTest::newRow("offset past the end") << patch32(good, 6 + 12, quint32(good.size())) << 0;
        QTest::newRow("offset near 4 GiB") << patch32(good, 6 + 12, 0xFFFFFFF0u) << 0;
        QTest::newRow("type 0") << patch16(good, 2, 0) << 0;
    }
    void readRejects()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, index);
        if (index == -100) {
            QVERIFY(ReadIconImage(MemorySource(file), 0).has_value());
            return;
        }
        QVERIFY(!ReadIconImage(MemorySource(file), index).has_value());
    }

    void composeAndBlend()
    {
        IconImage image;
        image.width = image.height = 16;
        image.bitCount = 32;
        const int n = 256;
        image.colour.fill(0, n);
        image.alpha.fill(0, n);
        image.mask.fill(0, n);
        // pixel 0: transparent with black colour bits; 1: transparent with colour bits;
        // 2: opaque alpha 255; 3: opaque alpha 128; 4: opaque alpha 0; 5: opaque alpha 1
        image.mask[0] = 1;
        image.mask[1] = 1;
        image.colour[1] = 0x0000FF;
        image.colour[2] = 0xC86432; // 200, 100, 50
        image.alpha[2] = 255;
        image.colour[3] = 0xC86432;
        image.alpha[3] = 128; // p = 50
        image.colour[4] = 0xC86432;
        image.colour[5] = 0xC86432;
        image.alpha[5] = 1; // p = 0
        const quint32 bg = packRgb(10, 20, 30);

        const PixelBuffer composite = ComposeIcon(image, bg);
        QCOMPARE(composite.pixels.at(0), bg);
        QCOMPARE(composite.pixels.at(1), bg ^ 0x0000FFu);
        QCOMPARE(composite.pixels.at(2), 0xC86432u);

        const PixelBuffer blended = BlendAlpha(image, unpackRgb(bg));
        QCOMPARE(blended.pixels.at(0), bg);
        QCOMPARE(blended.pixels.at(1), bg);
        QCOMPARE(blended.pixels.at(2), 0xC86432u);
        QCOMPARE(blended.pixels.at(3),
                 packRgb((50 * 10 + 50 * 200) / 100, (50 * 20 + 50 * 100) / 100, (50 * 30 + 50 * 50) / 100));
        QCOMPARE(blended.pixels.at(4), bg);
        QCOMPARE(blended.pixels.at(5), bg);
    }

    void loaderMessagesAndSurfaces()
    {
        test::ScriptedMessageBox box;
        QTemporaryDir dir;
        IconLoader loader;
        loader.setBackground(0x102030);

        // A 32-bit icon: the finished picture is the blend over the background.
        IconSpec s = test::simpleSpec(32, 32, 32);
        s.pixel = [](int x, int) { return x < 16 ? 0xFF00FF00u : 0x00000000u; };
        s.mask = [](int x, int) { return x < 16 ? 0 : 1; };
        const QString good = tempFile(dir, QStringLiteral("good.ir"), test::buildIcon({s}, {0}));
        QVERIFY(loader.LoadOpenFileICO(good));
        QVERIFY(box.asked().isEmpty());
        QCOMPARE(loader.finishedPicture().pixels.at(0), 0x00FF00u);
        QCOMPARE(loader.finishedPicture().pixels.at(31), 0x102030u);
        QCOMPARE(loader.picMask.pixels.at(31), 0xFFFFFFu);
        const PixelBuffer kept = loader.picTemp[1];

        // Missing file: the invalid-icon message; the surfaces keep what they held.
        QVERIFY(!loader.LoadOpenFileICO(dir.filePath(QStringLiteral("missing.ir"))));
        QCOMPARE(box.texts(), QStringList{invalidIconFileText()});
        QCOMPARE(box.asked().last().style, int(MB_OK));
        QCOMPARE(loader.picImage.width, 32);
        QCOMPARE(box.texts().first(),
                 QStringLiteral("Invalid icon file or file does not contain 32x32 or 16x16 icon"));

        // Picked but unreadable (16x32): path, line break, "Failed to load this file";
        // the three main surfaces are cleared, picTemp is kept.
        box.clear();
        const QString tall = tempFile(dir, QStringLiteral("tall.ir"), test::buildSimple(Sizes{{16, 32, 8}}));
        QVERIFY(!loader.LoadOpenFileICO(tall));
        QCOMPARE(box.texts(), QStringList{tall + QStringLiteral("\nFailed to load this file")});
        QCOMPARE(box.asked().last().style, int(MB_OK));
        QVERIFY(loader.picImage.isNull());
        QVERIFY(loader.picMask.isNull());
        QVERIFY(loader.PicIcon.isNull());
        QCOMPARE(loader.picTemp[1].pixels, kept.pixels);

        // An 8-bit icon: the finished picture is the mask composite, not the stale blend.
        box.clear();
        IconSpec p = test::simpleSpec(16, 16, 8);
        p.palette = makePalette(256);
        p.pixel = [](int, int) { return 7u; };
        p.mask = [](int x, int) { return x == 0 ? 1 : 0; };
        const QString paletted = tempFile(dir, QStringLiteral("p8.ir"), test::buildIcon({p}, {256}));
        QVERIFY(loader.LoadOpenFileICO(paletted));
        QCOMPARE(loader.finishedPicture().width, 16);
        QCOMPARE(loader.finishedPicture().pixels.at(1), p.palette.at(7));
        QCOMPARE(loader.finishedPicture().pixels.at(0), 0x102030u ^ p.palette.at(7));
        QCOMPARE(loader.picTemp[1].pixels, kept.pixels);
    }

    // A file cut short anywhere: one message, never a picture. Until the directory is
    // whole the picker refuses it; after that the image read fails.
    void truncatedFilesGiveOneMessage()
    {
        test::ScriptedMessageBox box;
        QTemporaryDir dir;
        IconLoader loader;
        IconSpec s = test::simpleSpec(16, 16, 1);
        const QByteArray whole = test::buildIcon({s}, {2});
        const QString path = dir.filePath(QStringLiteral("cut.ir"));
        for (int len = 0; len < whole.size(); ++len) {
            tempFile(dir, QStringLiteral("cut.ir"), whole.left(len));
            box.clear();
            QVERIFY(!loader.LoadOpenFileICO(path));
            QCOMPARE(box.asked().size(), 1);
            QCOMPARE(box.texts().first(), len < 6 + 16 ? invalidIconFileText() : failedToLoadText(path));
        }
        tempFile(dir, QStringLiteral("cut.ir"), whole);
        box.clear();
        QVERIFY(loader.LoadOpenFileICO(path));
        QVERIFY(box.asked().isEmpty());
    }

    // The icons shipped beside the executable: 32x32, 32-bit, with see-through corners.
    void shippedIcons_data()
    {
        QTest::addColumn<QString>("name");
        for (const char* n : {"Busy.ir", "Idle.ir", "Tod.ir", "KlvTarn.ir", "Radur.ir"})
            QTest::newRow(n) << QString::fromLatin1(n);
    }
    void shippedIcons()
    {
        QFETCH(QString, name);
        const QString path = qEnvironmentVariable("KT_BIN_DIR") + QLatin1Char('/') + name;
        QFile file(path);
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
        const QByteArray bytes = file.readAll();
        const MemorySource source(bytes);
        QCOMPARE(PickIconEntry(source), 0);
        const auto image = ReadIconImage(source, 0);
        QVERIFY(image);
        QCOMPARE(image->width, 32);
        QCOMPARE(image->bitCount, 32);
        const auto transparent = std::count(image->mask.begin(), image->mask.end(), 1);
        QVERIFY(transparent > 0);
        QVERIFY(transparent < 1024 - 200); // a real picture, not an empty square
        QCOMPARE(int(image->mask.at(image->at(0, 0))), 1);
    }

    // The generator reproduces the committed icons byte for byte.
    void generatorReproducesShippedIcons()
    {
        QTemporaryDir data;
        QTemporaryDir pngs;
        QProcess gen;
        gen.start(QStringLiteral(KT_ICONGEN_PATH), {data.path(), pngs.path()});
        QVERIFY(gen.waitForFinished(30000));
        QCOMPARE(gen.exitCode(), 0);
        const QString source = qEnvironmentVariable("KT_SOURCE_DIR");
        const QStringList names{QStringLiteral("Busy.ir"), QStringLiteral("Idle.ir"),
                                QStringLiteral("Tod.ir"), QStringLiteral("KlvTarn.ir"),
                                QStringLiteral("Radur.ir")};
        for (const QString& n : names) {
            QFile made(data.filePath(n));
            QFile shipped(source + QStringLiteral("/data/") + n);
            QVERIFY(made.open(QIODevice::ReadOnly) && shipped.open(QIODevice::ReadOnly));
            QVERIFY2(made.readAll() == shipped.readAll(),
                     qPrintable(n + QStringLiteral(" differs; run the regenerate-icons target")));
        }
    }
};

QTEST_GUILESS_MAIN(TestIconLoader)
#include "tst_iconloader.moc"
