// Files read beside the program: tips lines, icon entry picking, decoding, blending, what stands there.
#include "../support/ScriptedSeams.h"
#include "../support/TestFiles.h"
#include "auxiliary/icon/IconFormat.h"
#include "auxiliary/icon/IconLoader.h"
#include "auxiliary/tips/Tips.h"

#include <QtTest>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

using namespace kt;
using namespace kt::icon;

// What stands where the tips and an icon are read: files (or none), an unwritten pipe, /dev/zero, a folder.
enum class Odd { None, Pipe, EndlessDevice, Folder };

struct BesideCase
{
    Odd odd;
    qint64 tipsSize = -1; // for Odd::None: tips of this many bytes, none when negative
    qint64 iconTail = -1; // for Odd::None: an icon and a hole of this many bytes, none when negative
    bool tipsLoad = false;
    bool iconLoads = false;
    int iconGap = 0; // bytes between the icon's directory and its image
};

namespace {
// Icon files: header, directory, per image a 40-byte bitmap header, palette, colour and mask rows
// bottom-up. Rows are padded to 4 bytes with 0xA5: a reader that does not skip it reads wrong pixels.
struct IconSpec
{
    int width = 32, height = 32, bitCount = 32;   // entry fields
    QVector<quint32> palette{0x000000, 0xFFFFFF}; // 0xRRGGBB
    std::function<quint32(int x, int y)> pixel = [](int x, int y) { return quint32((x + y) & 1); };
    std::function<int(int x, int y)> mask = [](int, int) { return 0; }; // 1 = transparent
};

QByteArray le(quint32 v, int bytes) // the low `bytes` bytes, little-endian
{
    return QByteArray(reinterpret_cast<const char*>(&(v = qToLittleEndian(v))), bytes);
}

// w values of `bits` each (1, 2, 4, 8: packed high bits first; 24, 32: little-endian), padded.
QByteArray packRow(int w, int bits, const std::function<quint32(int)>& value)
{
    QByteArray row((w * bits + 7) / 8, '\0');
    for (int x = 0; x < w; ++x)
        if (bits >= 24)
            row.replace(x * bits / 8, bits / 8, le(value(x), bits / 8));
        else
            row[x * bits / 8] |= char((value(x) & ((1u << bits) - 1)) << (8 - bits - x * bits % 8));
    return row + QByteArray(-row.size() & 3, char(0xA5));
}

QByteArray buildIcon(const QVector<IconSpec>& images,
                     int gap = 0) // the images `gap` bytes after the directory
{
    QByteArray header = le(0, 2) + le(1, 2) + le(images.size(), 2), body(gap, '\0');
    for (const IconSpec& s : images) {
        QByteArray data = le(40, 4) + le(s.width, 4) + le(s.height * 2, 4) + le(1, 2) + le(s.bitCount, 2) +
                          QByteArray(24, '\0');
        for (int i = 0; s.bitCount <= 8 && i < 1 << s.bitCount; ++i)
            data += le(s.palette.value(i), 4);
        for (int mask : {0, 1}) // colour rows, then mask rows
            for (int y = s.height - 1; y >= 0; --y)
                data += packRow(s.width, mask ? 1 : s.bitCount,
                                [&](int x) { return mask ? quint32(s.mask(x, y)) : s.pixel(x, y); });
        header += le(s.width, 1) + le(s.height, 1) + le(0, 2) + le(1, 2) + le(s.bitCount, 2) +
                  le(data.size(), 4) + le(6 + 16 * images.size() + body.size(), 4);
        body += data;
    }
    return header + body;
}

} // namespace

class TestAuxiliary : public QObject
{
    Q_OBJECT
private slots:
    // Line ends: CR LF, LF or a lone CR; a last line without one counts, a final one adds none.
    void split()
    {
        const QList<std::pair<QByteArray, QStringList>> cases = {
            {"caf\xc3\xa9\r\nb\nc\r\n", {"caf\xc3\xa9", "b", "c"}},
            {"a\r\n\r\n\rb\r\r\nlast", {"a", "", "", "b", "", "last"}},
            {"\r\n", {""}},
            {"", {}}};
        for (const auto& [text, tips] : cases)
            QCOMPARE(splitTips(text), tips);
    }

    // Which entry is picked, and whether an image comes out of it.
    void pickAndRead_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("picked");
        QTest::addColumn<bool>("readable");
        // Unreadable rows name the entry picked all the same.
        const auto row = [](const char* name, const QByteArray& file, int picked, bool readable = true) {
            QTest::newRow(name) << file << picked << (readable && picked >= 0);
        };
        row("one 48x48", buildIcon({{48, 48, 32}}), -1);
        row("16 then 32", buildIcon({{16, 16, 32}, {32, 32, 32}}), 1);
        row("32 then 16", buildIcon({{32, 32, 4}, {16, 16, 32}}), 0);
        row("32x32 then 32x8", buildIcon({{32, 32, 32}, {32, 32, 8}}), 0);
        row("first 32-bit 32x32 stops the walk",
            buildIcon({{32, 32, 4}, {32, 32, 8}, {32, 32, 32}, {32, 32, 32}}), 2);
        row("later 16 does not replace 16", buildIcon({{48, 48, 32}, {16, 16, 4}, {16, 16, 32}}), 1);
        row("16 at index 0 counts", buildIcon({{16, 16, 8}, {48, 48, 32}}), 0);
        row("16x32 among several is skipped", buildIcon({{16, 32, 8}, {24, 24, 8}}), -1);
        const QByteArray good = buildIcon({{32, 32, 32}});
        const auto patch = [](QByteArray b, int at, quint32 v, int n) { return b.replace(at, n, le(v, n)); };
        row("lone 16x32 is picked", buildIcon({{16, 32, 8}}), 0, false);
        row("2-bit palette", buildIcon({{32, 32, 2}}), 0, false);
        row("type 0", patch(good, 2, 0, 2), -1);
        row("type 2", patch(good, 2, 2, 2), -1);
        row("count 0", patch(good, 4, 0, 2), -1);
        row("count beyond the directory", patch(good, 4, 2000, 2), -1);
        row("width 0", patch(good, 6, 0, 1), -1);
        row("bytes in resource 0", patch(good, 6 + 8, 0, 4), -1);
        row("image offset 0", patch(good, 6 + 12, 0, 4), -1);
        row("offset past the end", patch(good, 6 + 12, quint32(good.size()), 4), 0, false);
        row("offset near 4 GiB", patch(good, 6 + 12, 0xFFFFFFF0u, 4), 0, false);
        row("directory cut short", good.left(6 + 15), -1);
        row("image cut short", good.chopped(1), 0, false);
        row("image longer than its entry says", patch(good, 6 + 8, quint32(good.size() - 23), 4), 0, false);
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
        const int colours = bits <= 8 ? 1 << bits : 0;
        IconSpec s{side, side, bits, {}};
        for (int i = 0; i < colours; ++i)
            s.palette.append(packRgb((i * 37) & 0xFF, (i * 91 + 5) & 0xFF, 255 - i));
        // Values differ by position, so flipped rows, swapped nibbles or skipped padding show.
        s.pixel = [colours](int x, int y) {
            return colours ? quint32((x * 7 + y * 3 + (x / 4) * y) % colours)
                           : quint32((x * 8) & 0xFF) << 24 | quint32(x * 5) << 16 | quint32(y * 7) << 8 |
                                 quint32((x ^ y) * 3);
        };
        s.mask = [](int x, int y) { return (x < 3 || y == 0 || (x + y) % 11 == 0) ? 1 : 0; };
        const auto image = ReadIconImage(MemorySource(buildIcon({s})), 0);
        QVERIFY(image && image->width == side && image->bitCount == bits);
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x) {
                const int at = image->at(x, y);
                const quint32 v = s.pixel(x, y);
                QCOMPARE(image->colour.at(at), colours ? s.palette.at(int(v)) : v & 0xFFFFFF);
                QCOMPARE(int(image->alpha.at(at)), bits == 32 ? int(v >> 24) : 0);
                QCOMPARE(int(image->mask.at(at)), s.mask(x, y));
            }
    }

    void loaderMessagesAndSurfaces()
    {
        test::ScriptedMessageBox box;
        QTemporaryDir dir;
        const auto file = [&dir](const QString& name, const QByteArray& bytes) {
            return test::writeFile(dir.filePath(name), bytes) ? dir.filePath(name) : QString();
        };
        IconLoader loader;
        const quint32 bg = packRgb(10, 20, 30), c = packRgb(200, 100, 50);
        loader.setBackground(bg);

        // 32-bit: blended over the background in whole percent: alpha 255, 128 (half), 1 (none), 0.
        IconSpec s;
        s.pixel = [c](int x, int) {
            return x < 16 ? c | quint32(x < 14 ? 0xFF : x == 14 ? 0x80 : 1) << 24 : 0u;
        };
        s.mask = [](int x, int) { return x < 16 ? 0 : 1; };
        QVERIFY(loader.LoadOpenFileICO(file("good.ir", buildIcon({s}))));
        QCOMPARE(loader.finishedPicture().pixels.mid(0, 32),
                 QVector<quint32>(14, c) + QVector<quint32>{packRgb(105, 60, 40)} + QVector<quint32>(17, bg));
        QCOMPARE(loader.picMask.pixels.at(31), 0xFFFFFFu);
        const PixelBuffer kept = loader.picTemp[1];

        QVERIFY(!loader.LoadOpenFileICO(dir.filePath("missing.ir")));
        QCOMPARE(box.asked().last().style, int(MB_OK));
        QCOMPARE(loader.picImage.width, 32);

        const QString tall = file("tall.ir", buildIcon({{16, 32, 8}}));
        QVERIFY(!loader.LoadOpenFileICO(tall));
        QVERIFY(loader.picImage.isNull() && loader.picMask.isNull() && loader.PicIcon.isNull());
        QCOMPARE(loader.picTemp[1].pixels, kept.pixels);

        // 8-bit: the finished picture is the mask composite, not the stale blend.
        IconSpec p{16, 16, 8, {0, 0, 0, 0, 0, 0, 0, 0x123456}};
        p.pixel = [](int, int) { return 7u; };
        p.mask = [](int x, int) { return x == 0 ? 1 : 0; };
        QVERIFY(loader.LoadOpenFileICO(file("p8.ir", buildIcon({p}))));
        QCOMPARE(loader.finishedPicture().pixels.mid(0, 2), (QVector<quint32>{bg ^ 0x123456u, 0x123456u}));
        QCOMPARE(loader.picTemp[1].pixels, kept.pixels);
        QCOMPARE(box.texts(), (QStringList{invalidIconFileText(), tall + "\nFailed to load this file"}));
    }

    // Neither loader waits on what is not an ordinary file, nor reads more than it may need.
    void whatStandsAtThePaths_data()
    {
        QTest::addColumn<BesideCase>("c");
        const auto row = [](const char* name, const BesideCase& c) { QTest::newRow(name) << c; };
        row("empty tips, icon with a 50 MB tail", {Odd::None, 0, 50'000'000, true, true});
        row("icon image 5 MB into the file", {Odd::None, -1, 0, false, true, 5'000'000});
        row("tips as long as may be", {Odd::None, kTipsReadLimit, -1, true});
        row("tips longer", {Odd::None, kTipsReadLimit + 1});
        row("missing", {Odd::None});
        row("pipe", {Odd::Pipe});
        row("endless device", {Odd::EndlessDevice});
        row("folder", {Odd::Folder});
    }
    void whatStandsAtThePaths()
    {
        QFETCH(BesideCase, c);
        test::ScriptedMessageBox box;
        QTemporaryDir dir;
        const QString tipsPath = dir.filePath(tipsFileName()), iconPath = dir.filePath("Tod.ir");
        for (const QByteArray& path : {QFile::encodeName(tipsPath), QFile::encodeName(iconPath)})
            QVERIFY(c.odd == Odd::None || (c.odd == Odd::Pipe     ? ::mkfifo(path, 0600)
                                           : c.odd == Odd::Folder ? ::mkdir(path, 0700)
                                                                  : ::symlink("/dev/zero", path)) == 0);
        const QByteArray line = QByteArray(1023, 't') + '\n'; // few long lines: a small list
        const QByteArray text = line.repeated(qMax<qint64>(c.tipsSize, 0) / line.size() + 1).left(c.tipsSize);
        const QByteArray icon = buildIcon({IconSpec{}}, c.iconGap);
        QVERIFY(c.tipsSize < 0 || test::writeFile(tipsPath, text));
        QVERIFY(c.iconTail < 0 ||
                (test::writeFile(iconPath, icon) && QFile::resize(iconPath, icon.size() + c.iconTail)));
        QStringList tips{"kept"};
        ::alarm(20); // a reader that waits on the pipe or reads the device to its end ends the test here
        const QList<int> loaded{LoadTips(tipsPath, tips), IconLoader().LoadOpenFileICO(iconPath),
                                PickIconEntry(iconPath)};
        ::alarm(0);
        QCOMPARE(loaded, (QList<int>{c.tipsLoad, c.iconLoads, c.iconLoads ? 0 : -1}));
        QCOMPARE(tips, c.tipsLoad ? QStringList{"kept"} + splitTips(text) : QStringList{"kept"});
        QCOMPARE(box.texts(), c.iconLoads ? QStringList{} : QStringList{invalidIconFileText()});
    }
};

QTEST_GUILESS_MAIN(TestAuxiliary)
#include "tst_auxiliary.moc"
