// Sequence-header decoding, the frame-rate texts, the header scan, stream info, file length
// and the pre-pack MPEG check.
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <memory>

#include "../support/MpegFixtures.h"
#include "../support/ScriptedSeams.h"
#include "mpeg/HeaderScan.h"
#include "mpeg/MpegCheck.h"
#include "mpeg/SequenceHeader.h"
#include "mpeg/StreamInfo.h"

using namespace kt;

namespace {

HeaderBytes bytes(quint32 v) { return {uchar(v >> 24), uchar(v >> 16), uchar(v >> 8), uchar(v)}; }

ScanResult scanPath(const QString& path)
{
    File64 file;
    file.OpenFile(path, File64::kReadOnly);
    const File64::Handle h = file.FileHandle();
    const ScanResult r = scanForSequenceHeader(file, GetFileLen(path));
    file.CloseFile(h);
    return r;
}

QByteArray headerOf(const ScanResult& r)
{
    return QByteArray(reinterpret_cast<const char*>(r.header.data()), 4);
}

constexpr qint64 kLimitBytes = qint64(kScanChunkLimit) * kScanChunkSize; // 1,073,709,056

} // namespace

class TestMpeg : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }

private slots:
    void init() { QCOMPARE(File64::OpenHandleCount(), 0); }
    void cleanup() { QCOMPARE(File64::OpenHandleCount(), 0); }

    void decode_data()
    {
        QTest::addColumn<quint32>("header");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("aspect");
        QTest::addColumn<int>("rate");
        QTest::newRow("352x240 29.97") << 0x1600F0C4u << 352 << 240 << 12 << 4;
        QTest::newRow("704x288 25") << 0x2C012013u << 704 << 288 << 1 << 3;
        QTest::newRow("all ones") << 0xFFFFFFFFu << 4095 << 4095 << 15 << 15;
        QTest::newRow("all zeros") << 0u << 0 << 0 << 0 << 0;
        QTest::newRow("nibbles apart") << 0x12345678u << 0x123 << 0x456 << 7 << 8;
        QTest::newRow("720x576 25") << 0x2D024023u << 720 << 576 << 2 << 3;
    }
    void decode()
    {
        QFETCH(quint32, header);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, aspect);
        QFETCH(int, rate);
        const SequenceHeader h = decodeSequenceHeader(bytes(header));
        QCOMPARE(h.width, width);
        QCOMPARE(h.height, height);
        QCOMPARE(h.aspectCode, aspect);
        QCOMPARE(h.frameRateCode, rate);
        // The fixture writer packs the same fields the other way round.
        const QByteArray written = test::sequenceHeaderBytes(width, height, rate, aspect).mid(4);
        QCOMPARE(written, QByteArray(reinterpret_cast<const char*>(bytes(header).data()), 4));
    }

    void frameRateTexts_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("c");
        QTest::addColumn<QString>("german");
        QTest::newRow("0 forbidden") << 0 << "0" << "0";
        QTest::newRow("1") << 1 << "23.976" << "23,976";
        QTest::newRow("2") << 2 << "24" << "24";
        QTest::newRow("3") << 3 << "25" << "25";
        QTest::newRow("4") << 4 << "29.97" << "29,97";
        QTest::newRow("5") << 5 << "30" << "30";
        QTest::newRow("6") << 6 << "50" << "50";
        QTest::newRow("7") << 7 << "59.94" << "59,94";
        QTest::newRow("8") << 8 << "60" << "60";
        QTest::newRow("9 reserved") << 9 << "9" << "9";
        QTest::newRow("15 reserved") << 15 << "15" << "15";
    }
    void frameRateTexts()
    {
        QFETCH(int, code);
        QFETCH(QString, c);
        QFETCH(QString, german);
        QCOMPARE(frameRateText(code, QLocale::c()), c);
        QCOMPARE(frameRateText(code, QLocale(QLocale::German, QLocale::Germany)), german);
    }

    void parameterAndSizeTexts()
    {
        const SequenceHeader h = decodeSequenceHeader(bytes(0x1600F0C4u));
        QCOMPARE(parameterText(h, QLocale::c()), QStringLiteral("352,240,29.97"));
        QCOMPARE(videoSizeText(h), QStringLiteral("352 x 240"));
        const SequenceHeader zero = decodeSequenceHeader(bytes(0x1600F0C0u));
        QCOMPARE(parameterText(zero, QLocale::c()), QStringLiteral("352,240,0"));
    }

    // Every variant of the search against a plain indexOf, over buffers of many lengths
    // and alignments with codes, near misses and runs of zeros in them.
    void findCodeEveryWidth_data()
    {
        QTest::addColumn<int>("width");
        QTest::newRow("bytes") << int(SearchWidth::Bytes);
        QTest::newRow("sse2") << int(SearchWidth::Sse2);
        QTest::newRow("avx2") << int(SearchWidth::Avx2);
        QTest::newRow("avx512") << int(SearchWidth::Avx512);
    }
    void findCodeEveryWidth()
    {
        QFETCH(int, width);
        const SearchWidth before = searchWidth();
        const auto restore = qScopeGuard([before] { setSearchWidth(before); });
        if (setSearchWidth(SearchWidth(width)) != SearchWidth(width))
            QSKIP("the processor lacks these instructions");
        const QByteArray code("\x00\x00\x01\xB3", 4);
        const QByteArray nearMisses[] = {QByteArray("\x00\x01\xB3", 3), QByteArray("\x00\x00\x01\xB4", 4),
                                         QByteArray("\x00\x00\x00\x01", 4), QByteArray("\x01\xB3\x01\xB3", 4)};
        QRandomGenerator gen(width + 11);
        for (int round = 0; round < 3000; ++round) {
            const int size = gen.bounded(700);
            QByteArray data = test::fillerBytes(size + 64, quint32(round)).left(size);
            for (int k = gen.bounded(4); k > 0 && size > 4; --k) {
                const QByteArray& miss = nearMisses[gen.bounded(4)];
                data.replace(gen.bounded(size - 3), miss.size(), miss);
            }
            if (size >= 4 && gen.bounded(3))
                data.replace(gen.bounded(size - 3), 4, code);
            data.truncate(size);
            // An allocation that ends exactly with the data, so that a sanitizer build sees
            // any read past it; the start is shifted to vary the alignment.
            const int shift = gen.bounded(64);
            const std::unique_ptr<uchar[]> exact(new uchar[shift + size]);
            std::memset(exact.get(), 0x7F, shift);
            std::memcpy(exact.get() + shift, data.constData(), size);
            QCOMPARE(findSequenceHeaderCode(exact.get() + shift, size), data.indexOf(code));
        }
    }

    // A code at every position around the first chunk boundary: before it, straddling it
    // at each split, just after it, and with its header split by it.
    void scanAcrossChunkBoundary_data()
    {
        QTest::addColumn<qint64>("offset");
        for (qint64 d = -10; d <= 2; ++d)
            QTest::addRow("boundary%+lld", d) << kScanChunkSize + d;
        QTest::newRow("offset 0") << qint64(0);
        QTest::newRow("second boundary -2") << 2 * kScanChunkSize - 2;
    }
    void scanAcrossChunkBoundary()
    {
        QFETCH(qint64, offset);
        const QString p = path(QStringLiteral("boundary.mpg"));
        QVERIFY(test::writeMpegLikeFile(p, 3 * kScanChunkSize + 100, offset, 352, 288, 3));
        const ScanResult r = scanPath(p);
        QCOMPARE(r.outcome, ScanOutcome::Found);
        QCOMPARE(r.codeOffset, offset);
        QCOMPARE(headerOf(r), test::sequenceHeaderBytes(352, 288, 3).mid(4));
    }

    void scanHeaderCutOffAtEnd_data()
    {
        QTest::addColumn<int>("kept"); // header bytes the file still holds after the code
        for (int k = 0; k <= 4; ++k)
            QTest::addRow("%d header bytes", k) << k;
    }
    void scanHeaderCutOffAtEnd()
    {
        QFETCH(int, kept);
        const QString p = path(QStringLiteral("cut.mpg"));
        const qint64 size = kScanChunkSize + 17;
        QVERIFY(test::writeMpegLikeFile(p, size, size - 4 - kept, 0xABC, 0xDEF, 5));
        const ScanResult r = scanPath(p);
        QCOMPARE(r.outcome, ScanOutcome::Found);
        QCOMPARE(r.codeOffset, size - 4 - kept);
        const QByteArray full = test::sequenceHeaderBytes(0xABC, 0xDEF, 5).mid(4);
        QCOMPARE(headerOf(r), full.left(kept) + QByteArray(4 - kept, '\0'));
    }

    void scanWithoutHeader_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::newRow("0 bytes") << qint64(0);
        QTest::newRow("3 bytes") << qint64(3);
        QTest::newRow("one chunk") << kScanChunkSize;
        QTest::newRow("several chunks") << 5 * kScanChunkSize + 3;
    }
    void scanWithoutHeader()
    {
        QFETCH(qint64, size);
        const QString p = path(QStringLiteral("noheader.mp3"));
        QVERIFY(test::writeFileWith(p, size, -1, {}));
        QCOMPARE(scanPath(p).outcome, ScanOutcome::NotFound);
        File64 file;
        const StreamInfoTexts t = GetMPEGInfo(file, p);
        QCOMPARE(t.videoSize, QStringLiteral("not available"));
        QCOMPARE(t.frameRate, QStringLiteral("not available"));
    }

    // The length handed in bounds the scan; a file shorter than it ends the scan quietly.
    void scanStopsAtLengthGiven()
    {
        const QString p = path(QStringLiteral("len.mpg"));
        QVERIFY(test::writeMpegLikeFile(p, 3 * kScanChunkSize, 2 * kScanChunkSize, 352, 240, 4));
        File64 file;
        file.OpenFile(p, File64::kReadOnly);
        const File64::Handle h = file.FileHandle();
        QCOMPARE(scanForSequenceHeader(file, 2 * kScanChunkSize).outcome, ScanOutcome::NotFound);
        QCOMPARE(scanForSequenceHeader(file, 2 * kScanChunkSize + 4).outcome, ScanOutcome::Found);
        QCOMPARE(scanForSequenceHeader(file, 10 * kScanChunkSize).outcome, ScanOutcome::Found);
        file.CloseFile(h);
    }

    // 32,767 chunks at most; a code straddling the boundary after the last one still counts.
    void scanChunkLimit_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<qint64>("codeAt"); // -1: none
        QTest::addColumn<int>("outcome");
        QTest::newRow("exactly the limit, none") << kLimitBytes << qint64(-1) << int(ScanOutcome::NotFound);
        QTest::newRow("one byte more, none") << kLimitBytes + 1 << qint64(-1) << int(ScanOutcome::ChunkLimit);
        QTest::newRow("last chunk") << kLimitBytes + 100 << kLimitBytes - 4 << int(ScanOutcome::Found);
        QTest::newRow("straddling") << kLimitBytes + 100 << kLimitBytes - 1 << int(ScanOutcome::Found);
        QTest::newRow("beyond") << kLimitBytes + 100 << kLimitBytes << int(ScanOutcome::ChunkLimit);
    }
    void scanChunkLimit()
    {
        QFETCH(qint64, size);
        QFETCH(qint64, codeAt);
        QFETCH(int, outcome);
        const QString p = path(QStringLiteral("huge.bin"));
        QVERIFY(test::writeSparseFileWith(p, size, codeAt, test::sequenceHeaderBytes(320, 240, 1)));
        const ScanResult r = scanPath(p);
        QCOMPARE(int(r.outcome), outcome);
        if (r.outcome == ScanOutcome::Found) {
            QCOMPARE(r.codeOffset, codeAt);
            QCOMPARE(decodeSequenceHeader(r.header).width, 320);
        }
    }

    // At the chunk limit the texts are "not available" and the check throws, files closed.
    void chunkLimitCallers()
    {
        const QString p = path(QStringLiteral("huge.bin"));
        QVERIFY(test::writeSparseFileWith(p, kLimitBytes + 1));
        test::ScriptedMessageBox box;
        File64 file;
        const StreamInfoTexts t = GetMPEGInfo(file, p);
        QCOMPARE(t.videoSize, notAvailableText());
        QCOMPARE(t.frameRate, notAvailableText());
        QStringList reference;
        MpegFlags flags;
        QString thrownFor;
        try {
            VerifyMpegFile(file, p, reference, flags);
        } catch (const MpegScanOverflow& overflow) {
            thrownFor = overflow.path;
        }
        QCOMPARE(thrownFor, p);
        QCOMPARE(File64::OpenHandleCount(), 0); // closed before the throw
        QVERIFY(box.asked().isEmpty());
        QVERIFY(flags.mpegValid && flags.mpegCompatible && !flags.ignoreMpegErrors);
    }

    void streamInfo_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("size");
        QTest::addColumn<QString>("rate");
        QTest::newRow("program stream") << (QByteArray("\x00\x00\x01\xBA\x44\x00\x04\x00", 8)
                                            + QByteArray("\x00\x00\x01\xB3\x2C\x01\x20\x13", 8))
                                        << "704 x 288" << "25";
        QTest::newRow("23.976") << test::sequenceHeaderBytes(320, 240, 1) << "320 x 240" << "23.976";
        QTest::newRow("code 0") << test::sequenceHeaderBytes(16, 16, 0) << "16 x 16" << "0";
    }
    void streamInfo()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, size);
        QFETCH(QString, rate);
        const QString p = path(QStringLiteral("info.mpg"));
        QVERIFY(test::writeFileWith(p, 5000, 0, content));
        QLocale::setDefault(QLocale::c());
        File64 file;
        const StreamInfoTexts t = GetMPEGInfo(file, p);
        QCOMPARE(t.videoSize, size);
        QCOMPARE(t.frameRate, rate);
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(GetMPEGInfo(file, p).frameRate, QString(rate).replace(QLatin1Char('.'), QLatin1Char(',')));
        QLocale::setDefault(QLocale::c());
    }

    // A missing file is reported once and is not created; an empty one is just not MPEG.
    void streamInfoMissingAndEmpty()
    {
        test::ScriptedMessageBox box;
        File64 file;
        const QString missing = path(QStringLiteral("missing.mpg"));
        const StreamInfoTexts t = GetMPEGInfo(file, missing);
        QCOMPARE(t.videoSize, notAvailableText());
        QCOMPARE(t.frameRate, notAvailableText());
        QVERIFY(!QFile::exists(missing));
        QCOMPARE(box.texts(), QStringList{QStringLiteral("Error opening '%1'!").arg(missing)});
        QCOMPARE(box.asked().first().style, 0x40010);

        box.clear();
        const QString empty = path(QStringLiteral("empty.mpg"));
        QVERIFY(test::writeFileWith(empty, 0, -1, {}));
        QCOMPARE(GetMPEGInfo(file, empty).videoSize, notAvailableText());
        QVERIFY(box.asked().isEmpty());
    }

    void fileLength_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::newRow("0") << qint64(0);
        QTest::newRow("1") << qint64(1);
        QTest::newRow("4 GiB - 1") << qint64(0xFFFFFFFF);
        QTest::newRow("4 GiB") << (qint64(1) << 32);
        QTest::newRow("5,000,000,000") << qint64(5'000'000'000);
        QTest::newRow("6 GiB") << qint64(6'442'450'944);
    }
    void fileLength()
    {
        QFETCH(qint64, size);
        const QString p = path(QStringLiteral("sparse.bin"));
        QVERIFY(test::writeSparseFileWith(p, size));
        QCOMPARE(GetFileLen(p), quint64(size));
        QFile::remove(p);
        QCOMPARE(GetFileLen(p), quint64(0));
    }

    void fileLengthOfOddPaths()
    {
        QCOMPARE(GetFileLen(QString()), quint64(0));
        QCOMPARE(GetFileLen(m_dir.path()), quint64(0)); // a directory
        // Well beyond 255 characters, through nested folders.
        QDir dir(m_dir.path());
        const QString part = QString(200, QLatin1Char('d'));
        for (int i = 0; i < 5; ++i) {
            QVERIFY(dir.mkdir(part));
            QVERIFY(dir.cd(part));
        }
        const QString inside = dir.filePath(QStringLiteral("clip.mpg"));
        QVERIFY(inside.size() > 1000);
        QVERIFY(test::writeMpegLikeFile(inside, 70000, 40000, 352, 240, 4));
        QCOMPARE(GetFileLen(inside), quint64(70000));
        File64 file;
        QCOMPARE(GetMPEGInfo(file, inside).videoSize, QStringLiteral("352 x 240"));
    }

    void notMpegAnswers_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("ignore");
        QTest::newRow("No") << int(IDNO) << false;
        QTest::newRow("Yes") << int(IDYES) << true;
    }
    void notMpegAnswers()
    {
        QFETCH(int, answer);
        QFETCH(bool, ignore);
        const QString mp3 = path(QStringLiteral("song.mp3"));
        QVERIFY(test::writeFileWith(mp3, 100000, -1, {}));
        test::ScriptedMessageBox box;
        box.answer(answer);
        File64 file;
        QStringList reference;
        MpegFlags flags;
        VerifyMpegFile(file, mp3, reference, flags);
        QCOMPARE(box.asked().size(), 1);
        QCOMPARE(box.asked().first().text, QStringLiteral("'") + mp3
                                               + QStringLiteral("' is not a valid MPEG file.\r\n\r\n"
                                                                "Proceed packing and ignore invalid Mpeg error?"));
        QCOMPARE(box.asked().first().style, 0x40014);
        QCOMPARE(box.asked().first().title, QStringLiteral("Vantu Kliva TARN"));
        QCOMPARE(flags.mpegValid, false);
        QCOMPARE(flags.ignoreMpegErrors, ignore);
        QCOMPARE(flags.mpegCompatible, true);
        QVERIFY(reference.isEmpty()); // a file without parameters sets no reference
    }

    // An unopenable file shows the open error and counts as not MPEG.
    void verifyMissingFile()
    {
        test::ScriptedMessageBox box;
        box.answer({IDOK, IDNO});
        File64 file;
        QStringList reference;
        MpegFlags flags;
        const QString missing = path(QStringLiteral("gone.mpg"));
        VerifyMpegFile(file, missing, reference, flags);
        QCOMPARE(box.texts(), (QStringList{QStringLiteral("Error opening '%1'!").arg(missing), kt::notMpegQuestion(missing)}));
        QVERIFY(!flags.mpegValid);
        QVERIFY(!QFile::exists(missing));
    }

    void compatibility_data()
    {
        QTest::addColumn<QList<int>>("second"); // width, height, frame rate code
        QTest::addColumn<bool>("compatible");
        QTest::newRow("same") << QList<int>{352, 240, 4} << true;
        QTest::newRow("25 vs 29.97") << QList<int>{352, 240, 3} << false;
        QTest::newRow("other width") << QList<int>{320, 240, 4} << false;
        QTest::newRow("other height") << QList<int>{352, 288, 4} << false;
    }
    void compatibility()
    {
        QFETCH(QList<int>, second);
        QFETCH(bool, compatible);
        QLocale::setDefault(QLocale::c());
        const QString a = path(QStringLiteral("a.mpg"));
        const QString b = path(QStringLiteral("b.mpg"));
        QVERIFY(test::writeMpegLikeFile(a, 50000, 0, 352, 240, 4));
        // Aspect ratio is not compared.
        QVERIFY(test::writeFileWith(b, 50000, 40000, test::sequenceHeaderBytes(second[0], second[1], second[2], 3)));
        test::ScriptedMessageBox box;
        File64 file;
        QStringList reference;
        MpegFlags flags;
        VerifyMpegFile(file, a, reference, flags);
        QCOMPARE(reference, QStringList{QStringLiteral("352,240,29.97")});
        QVERIFY(flags.mpegCompatible);
        VerifyMpegFile(file, b, reference, flags);
        QCOMPARE(reference, QStringList{QStringLiteral("352,240,29.97")});
        QCOMPARE(flags.mpegCompatible, compatible);
        QVERIFY(flags.mpegValid);
        QVERIFY(box.asked().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestMpeg)
#include "tst_mpeg.moc"
