// Frame rate texts, the header scan, stream info and the pre-pack MPEG check.
#include "../support/MpegFixtures.h"
#include "../support/ScriptedSeams.h"
#include "mpeg/HeaderScan.h"
#include "mpeg/MpegCheck.h"
#include "mpeg/SequenceHeader.h"
#include "mpeg/StreamInfo.h"

#include <QtTest>
#include <cstring>
#include <memory>

using namespace kt;

constexpr qint64 kLimitBytes = qint64(kScanChunkLimit) * kScanChunkSize; // 1,073,709,056

class TestMpeg : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }

private slots:
    void cleanup() { QCOMPARE(File64::OpenHandleCount(), 0); }

    // A decimal comma where the locale has one; a reserved code shows its number.
    void frameRateTexts()
    {
        for (const QLocale& locale : {QLocale::c(), QLocale(QLocale::German, QLocale::Germany)}) {
            QStringList texts;
            for (int code : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 15})
                texts << frameRateText(code, locale);
            QCOMPARE(texts.join(' '),
                     QString("0 23.976 24 25 29.97 30 50 59.94 60 9 15").replace('.', locale.decimalPoint()));
        }
    }

    // Every variant of both searches against indexOf, over buffers of many lengths and alignments.
    void findCodeEveryWidth_data()
    {
        QTest::addColumn<int>("width");
        for (auto w : {SearchWidth::Bytes, SearchWidth::Sse2, SearchWidth::Avx2, SearchWidth::Avx512})
            QTest::addRow("width %d", int(w)) << int(w);
    }
    void findCodeEveryWidth()
    {
        QFETCH(int, width);
        const auto restore =
            qScopeGuard([] { setSearchWidth(SearchWidth::Avx512); }); // the processor's widest
        if (setSearchWidth(SearchWidth(width)) != SearchWidth(width))
            QSKIP("the processor lacks these instructions");
        const QByteArray code("\x00\x00\x01\xB3", 4);
        QRandomGenerator gen(width + 11);
        for (int round = 0; round < 3000; ++round) {
            const int size = gen.bounded(700);
            QByteArray data = test::fillerBytes(size, quint32(round));
            for (const QByteArray& piece : {QByteArray("\x00\x01\xB3\x00\x00\x00\x01", 7), code,
                                            QByteArray("\x00\x00\x01\xB8", 4)}) // near misses, codes
                if (size >= piece.size() && gen.bounded(3))
                    data.replace(gen.bounded(size - piece.size() + 1), piece.size(), piece);
            // Exactly sized (a sanitizer build sees any overread), at a varying alignment.
            const int shift = gen.bounded(64);
            const std::unique_ptr<uchar[]> exact(new uchar[shift + size]);
            std::memcpy(exact.get() + shift, data.constData(), size);
            QCOMPARE(findSequenceHeaderCode(exact.get() + shift, size), data.indexOf(code));
            QCOMPARE(findStartCode(exact.get() + shift, size), data.indexOf(code.first(3)));
            // The first picture or GOP code; none is the largest size_t, so min takes the other.
            const auto at = [&](const char* c) { return size_t(data.indexOf(QByteArray(c, 4))); };
            QCOMPARE(findStartCodeOf(exact.get() + shift, size, 0x00, 0xB8),
                     qsizetype(std::min(at("\x00\x00\x01\x00"), at("\x00\x00\x01\xB8"))));
        }
    }

    // The scan of a whole file: a code split at every place across the first chunk and read boundaries,
    // a header cut off by the end, no code at all, and the 32,767-chunk limit.
    void scan_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<qint64>("codeAt"); // -1: none
        QTest::addColumn<ScanOutcome>("outcome");
        using enum ScanOutcome;
        const qint64 three = 3 * kScanChunkSize + 100;
        for (qint64 d = -10; d <= 2; ++d) {
            QTest::addRow("boundary%+lld", d) << three << kScanChunkSize + d << Found;
            const qint64 secondRead = kScanChunkSize + kScanReadSize;
            QTest::addRow("read boundary%+lld", d) << secondRead + three << secondRead + d << Found;
        }
        QTest::newRow("offset 0") << three << qint64(0) << Found;
        for (int kept = 0; kept <= 4; ++kept) // header bytes left after the code: all four or none
            QTest::addRow("cut off, %d kept", kept)
                << three << three - 4 - kept << (kept == 4 ? Found : NotFound);
        QTest::newRow("0 bytes") << qint64(0) << qint64(-1) << NotFound;
        QTest::newRow("no header") << 5 * kScanChunkSize + 3 << qint64(-1) << NotFound;
        QTest::newRow("limit, none") << kLimitBytes << qint64(-1) << NotFound;
        QTest::newRow("limit+1, none") << kLimitBytes + 1 << qint64(-1) << ChunkLimit;
        QTest::newRow("limit, straddling") << kLimitBytes + 100 << kLimitBytes - 1 << Found;
        QTest::newRow("limit, beyond") << kLimitBytes + 100 << kLimitBytes << ChunkLimit;
        QTest::newRow("4 GiB, none") << (qint64(1) << 32) << qint64(-1) << ChunkLimit;
    }
    void scan()
    {
        QFETCH(qint64, size);
        QFETCH(qint64, codeAt);
        QFETCH(ScanOutcome, outcome);
        const QString p = path(QStringLiteral("scan.mpg"));
        const QByteArray header = test::sequenceHeaderBytes(0xABC, 0xDEF, 5);
        QVERIFY(size < kLimitBytes ? test::writeFileWith(p, size, codeAt, header)
                                   : test::writeSparseFileWith(p, size, codeAt, header));
        QCOMPARE(GetFileLen(p), quint64(size));
        File64 file;
        const ScanResult r = scanFileForSequenceHeader(file, p).scan;
        QCOMPARE(r.outcome, outcome);
        if (r.outcome == ScanOutcome::Found) {
            const SequenceHeader h = decodeSequenceHeader(r.header);
            QCOMPARE((std::tuple{r.codeOffset, h.width, h.height, h.frameRateCode}),
                     (std::tuple{codeAt, 0xABC, 0xDEF, 5}));
            return;
        }
        // Without parameters the texts are "not available"; at the limit the check fails, asking nothing.
        test::ScriptedMessageBox box;
        const StreamInfoTexts t = GetMPEGInfo(file, p);
        QCOMPARE((QStringList{t.videoSize, t.frameRate}), QStringList(2, "not available"));
        if (r.outcome == ScanOutcome::ChunkLimit) {
            QStringList reference;
            QCOMPARE(VerifyMpegFile(file, p, reference), MpegVerdict::ScanLimit);
            QVERIFY(reference.isEmpty());
        }
        QVERIFY(box.asked().isEmpty());
    }

    // A second file after a valid 352 x 240 at 29.97 one: compatible (aspect not compared), or not MPEG.
    void verify()
    {
        const QString a = path(QStringLiteral("a.mpg")), b = path(QStringLiteral("b.mpg"));
        QVERIFY(test::writeMpegLikeFile(a, 50000, 0, 352, 240, 4));
        using V = MpegVerdict;
        // The second file's header (empty: none), whether it exists, the answer to the question.
        for (const auto& [header, exists, answer, verdict] :
             std::initializer_list<std::tuple<QByteArray, bool, int, V>>{
                 {test::sequenceHeaderBytes(352, 240, 4, 3), true, 0, V::Same},
                 {test::sequenceHeaderBytes(352, 240, 3), true, 0, V::Differs},
                 {test::sequenceHeaderBytes(320, 240, 4), true, 0, V::Differs},
                 {test::sequenceHeaderBytes(352, 288, 4), true, 0, V::Differs},
                 {{}, true, IDNO, V::NotMpegStop},
                 {{}, true, IDYES, V::NotMpegGoOn},
                 {{}, false, IDNO, V::NotMpegStop}}) {
            QFile::remove(b);
            QVERIFY(!exists || test::writeFileWith(b, 50000, 40000, header));
            test::ScriptedMessageBox box;
            if (!exists)
                box.answer(IDOK);
            box.answer(answer);
            File64 file;
            QStringList reference;
            QCOMPARE(VerifyMpegFile(file, a, reference), MpegVerdict::Same);
            QCOMPARE(VerifyMpegFile(file, b, reference), verdict);
            QCOMPARE(reference, QStringList{QStringLiteral("352,240,29.97")}); // from the first file only
            QCOMPARE(QFile::exists(b), exists);
            QStringList texts =
                exists ? QStringList() : QStringList{QStringLiteral("Error opening '%1'!").arg(b)};
            if (header.isEmpty())
                texts << "'" + b +
                             "' is not a valid MPEG file.\r\n\r\nProceed packing and ignore invalid Mpeg "
                             "error?";
            QCOMPARE(box.texts(), texts);
            if (header.isEmpty()) // the program's name as the title
                QCOMPARE((std::pair{box.asked().last().style, box.asked().last().title}),
                         (std::pair{0x40014, QStringLiteral("Vantu Kliva TARN")}));
        }
    }
};

QTEST_GUILESS_MAIN(TestMpeg)
#include "tst_mpeg.moc"
