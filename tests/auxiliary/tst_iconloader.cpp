// The icon-file loader: entry picking, decoding of every depth, blending, the loader's
// messages and surfaces.
#include "../support/OddFiles.h"
#include "../support/ScriptedSeams.h"
#include "../support/TestFiles.h"
#include "IconBuilder.h"
#include "auxiliary/icon/IconFormat.h"
#include "auxiliary/icon/IconLoader.h"

#include <QtTest>

using namespace kt;
using namespace kt::icon;
using kt::test::IconSpec;
using kt::test::Odd;

// What stands at an icon's path.
struct IconFileCase
{
    Odd odd;
    qint64 tail = 0; // for Odd::None, a valid icon followed by a hole of this many bytes
    bool loads = false;
};
Q_DECLARE_METATYPE(IconFileCase)

namespace {
QByteArray patch(QByteArray bytes, int offset, quint32 v, int width)
{
    for (int i = 0; i < width; ++i)
        bytes[offset + i] = char(v >> (8 * i));
    return bytes;
}

// Colours differ by position, so flipped rows, swapped nibbles or skipped padding show.
quint32 indexAt(int x, int y, int colours)
{
    return quint32((x * 7 + y * 3 + (x / 4) * y) % colours);
}
quint32 argbAt(int x, int y)
{
    return (quint32((x * 8) & 0xFF) << 24) | (quint32(x * 5) << 16) | (quint32(y * 7) << 8) |
           quint32((x ^ y) * 3);
}
int maskAt(int x, int y)
{
    return (x < 3 || y == 0 || (x + y) % 11 == 0) ? 1 : 0;
}

QString tempFile(QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    return test::writeFile(dir.filePath(name), bytes) ? dir.filePath(name) : QString();
}
} // namespace

class TestIconLoader : public QObject
{
    Q_OBJECT
private slots:
    // Which entry is picked, and whether an image comes out of it; hostile or unusable
    // files give none. (Files cut short are truncatedFilesGiveOneMessage's.)
    void pickAndRead_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("picked");
        QTest::addColumn<bool>("readable");
        const auto row = [](const char* name, const QVector<IconSpec>& images, int picked) {
            QTest::newRow(name) << test::buildIcon(images) << picked << (picked >= 0);
        };
        row("one 32x32", {{32, 32, 32}}, 0);
        row("one 48x48", {{48, 48, 32}}, -1);
        row("16 then 32", {{16, 16, 32}, {32, 32, 32}}, 1);
        row("32 then 16", {{32, 32, 4}, {16, 16, 32}}, 0);
        row("32x8 then 32x32", {{32, 32, 8}, {32, 32, 32}}, 1);
        row("32x32 then 32x8", {{32, 32, 32}, {32, 32, 8}}, 0);
        row("first 32-bit 32x32 stops the walk", {{32, 32, 4}, {32, 32, 8}, {32, 32, 32}, {32, 32, 32}}, 2);
        row("later 16 does not replace 16", {{48, 48, 32}, {16, 16, 4}, {16, 16, 32}}, 1);
        row("16 at index 0 counts", {{16, 16, 8}, {48, 48, 32}}, 0);
        row("16x32 among several is skipped", {{16, 32, 8}, {24, 24, 8}}, -1);
        const auto bad = [](const char* name, const QByteArray& file, int picked) {
            QTest::newRow(name) << file << picked << false;
        };
        const QByteArray good = test::buildIcon({{32, 32, 32}});
        bad("lone 16x32 is picked", test::buildIcon({{16, 32, 8}}), 0);
        bad("2-bit palette", test::buildIcon({{32, 32, 2}}), 0);
        bad("type 0", patch(good, 2, 0, 2), -1);
        bad("type 2", patch(good, 2, 2, 2), -1);
        bad("count 0", patch(good, 4, 0, 2), -1);
        bad("count beyond the directory", patch(good, 4, 2000, 2), -1);
        bad("width 0", patch(good, 6, 0, 1), -1);
        bad("bytes in resource 0", patch(good, 6 + 8, 0, 4), -1);
        bad("image offset 0", patch(good, 6 + 12, 0, 4), -1);
        bad("offset past the end", patch(good, 6 + 12, quint32(good.size()), 4), 0);
        bad("offset near 4 GiB", patch(good, 6 + 12, 0xFFFFFFF0u, 4), 0);
    }
    void pickAndRead()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, picked);
        QFETCH(bool, readable);
        const MemorySource source(file);
        QCOMPARE(PickIconEntry(source), picked);
        QCOMPARE(ReadIconImage(source, picked).has_value(), readable);
        QVERIFY(!ReadIconImage(source, -1) && !ReadIconImage(source, 4));
    }

    void colourCount_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("bits");
        QTest::addColumn<int>("expected");
        // Field 0: from the depth (1, 4, 8 bits are covered by readImage).
        QTest::newRow("0 bit") << 0 << 0 << 256;
        QTest::newRow("24 bit") << 0 << 24 << -1;
        QTest::newRow("field 2") << 2 << 8 << 2;
        QTest::newRow("field 16") << 16 << 1 << 16;
        QTest::newRow("field 1") << 1 << 8 << 2;
        QTest::newRow("field 3") << 3 << 8 << 16;
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

    // Every depth, per pixel. 16-pixel rows of 1 bit and of the mask carry 2 padding bytes.
    void readImage_data()
    {
        QTest::addColumn<int>("side");
        QTest::addColumn<int>("bits");
        for (int bits : {1, 4, 8, 24, 32})
            for (int side : {16, 32})
                QTest::addRow("%dx%d %d-bit", side, side, bits) << side << bits;
    }
    void readImage()
    {
        QFETCH(int, side);
        QFETCH(int, bits);
        const int colours = test::paletteFor(bits);
        IconSpec s{side, side, bits, {}};
        for (int i = 0; i < colours; ++i)
            s.palette.append(packRgb((i * 37) & 0xFF, (i * 91 + 5) & 0xFF, 255 - i));
        s.pixel = [colours](int x, int y) { return colours ? indexAt(x, y, colours) : argbAt(x, y); };
        s.mask = maskAt;
        const auto image = ReadIconImage(MemorySource(test::buildIcon({s})), 0);
        QVERIFY(image);
        QCOMPARE(image->width, side);
        QCOMPARE(image->bitCount, bits);
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x) {
                const int at = image->at(x, y);
                const quint32 colour =
                    colours ? s.palette.at(int(indexAt(x, y, colours))) : argbAt(x, y) & 0xFFFFFF;
                QCOMPARE(image->colour.at(at), colour);
                QCOMPARE(int(image->alpha.at(at)), bits == 32 ? int(argbAt(x, y) >> 24) : 0);
                QCOMPARE(int(image->mask.at(at)), maskAt(x, y));
            }
    }

    void loaderMessagesAndSurfaces()
    {
        test::ScriptedMessageBox box;
        QTemporaryDir dir;
        IconLoader loader;
        const quint32 bg = packRgb(10, 20, 30), c = packRgb(200, 100, 50);
        loader.setBackground(bg);

        // 32-bit: the finished picture is the blend over the background, in whole percent of
        // alpha: 255, then 128 (half) and 1 (none), then transparent black.
        IconSpec s;
        s.pixel = [c](int x, int) {
            return x < 14 ? c | 0xFF000000u : x == 14 ? c | 0x80000000u : x == 15 ? c | 0x01000000u : 0u;
        };
        s.mask = [](int x, int) { return x < 16 ? 0 : 1; };
        QVERIFY(loader.LoadOpenFileICO(tempFile(dir, "good.ir", test::buildIcon({s}))));
        QCOMPARE(loader.finishedPicture().pixels.mid(0, 32),
                 QVector<quint32>(14, c) + QVector<quint32>{packRgb(105, 60, 40)} + QVector<quint32>(17, bg));
        QCOMPARE(loader.picMask.pixels.at(31), 0xFFFFFFu);
        const PixelBuffer kept = loader.picTemp[1];

        // Missing file: one message, surfaces untouched.
        QVERIFY(!loader.LoadOpenFileICO(dir.filePath("missing.ir")));
        QCOMPARE(box.asked().last().style, int(MB_OK));
        QCOMPARE(loader.picImage.width, 32);

        // Picked but unreadable: the three main surfaces cleared, picTemp kept.
        const QString tall = tempFile(dir, "tall.ir", test::buildIcon({{16, 32, 8}}));
        QVERIFY(!loader.LoadOpenFileICO(tall));
        QVERIFY(loader.picImage.isNull() && loader.picMask.isNull() && loader.PicIcon.isNull());
        QCOMPARE(loader.picTemp[1].pixels, kept.pixels);

        // 8-bit: the finished picture is the mask composite, not the stale blend.
        IconSpec p{16, 16, 8, {0, 0, 0, 0, 0, 0, 0, 0x123456}};
        p.pixel = [](int, int) { return 7u; };
        p.mask = [](int x, int) { return x == 0 ? 1 : 0; };
        QVERIFY(loader.LoadOpenFileICO(tempFile(dir, "p8.ir", test::buildIcon({p}))));
        QCOMPARE(loader.finishedPicture().width, 16);
        QCOMPARE(loader.finishedPicture().pixels.mid(0, 2), (QVector<quint32>{bg ^ 0x123456u, 0x123456u}));
        QCOMPARE(loader.picTemp[1].pixels, kept.pixels);
        QCOMPARE(box.texts(), (QStringList{invalidIconFileText(), tall + "\nFailed to load this file"}));
    }

    // Neither waiting on what is not a file nor reading more than an icon can need.
    void whatStandsAtThePath_data()
    {
        QTest::addColumn<IconFileCase>("c");
        QTest::newRow("icon") << IconFileCase{Odd::None, 0, true};
        QTest::newRow("icon, 50 MB tail") << IconFileCase{Odd::None, 50'000'000, true};
        QTest::newRow("pipe") << IconFileCase{Odd::Pipe};
        QTest::newRow("pipe, silent writer") << IconFileCase{Odd::PipeSilentWriter};
        QTest::newRow("endless device") << IconFileCase{Odd::EndlessDevice};
        QTest::newRow("folder") << IconFileCase{Odd::Folder};
    }
    void whatStandsAtThePath()
    {
        QFETCH(IconFileCase, c);
        test::ScriptedMessageBox box;
        QTemporaryDir dir;
        const QString path = dir.filePath("Tod.ir");
        test::OddFile odd(c.odd, path);
        const QByteArray icon = test::buildIcon({IconSpec{}});
        QVERIFY(odd.ok());
        QVERIFY(c.odd != Odd::None ||
                (test::writeFile(path, icon) && QFile::resize(path, icon.size() + c.tail)));
        IconLoader loader;
        bool loaded = !c.loads;
        int picked = -2;
        QVERIFY2(odd.returnsUnaided([&] {
            loaded = loader.LoadOpenFileICO(path);
            picked = PickIconEntry(path);
        }),
                 "the loader waited on the file");
        QCOMPARE(loaded, c.loads);
        QCOMPARE(picked, c.loads ? 0 : -1);
        QCOMPARE(box.texts(), c.loads ? QStringList{} : QStringList{invalidIconFileText()});
    }

    // A file cut short anywhere: exactly one message, never a picture.
    void truncatedFilesGiveOneMessage()
    {
        test::ScriptedMessageBox box;
        QTemporaryDir dir;
        IconLoader loader;
        const QByteArray whole = test::buildIcon({IconSpec{16, 16, 1}});
        for (int len = 0; len <= whole.size(); ++len) {
            const QString path = tempFile(dir, "cut.ir", whole.left(len));
            box.clear();
            QCOMPARE(loader.LoadOpenFileICO(path), len == whole.size());
            if (len < whole.size())
                QCOMPARE(box.texts(),
                         QStringList{len < 6 + 16 ? invalidIconFileText() : failedToLoadText(path)});
        }
        QVERIFY(box.asked().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestIconLoader)
#include "tst_iconloader.moc"
