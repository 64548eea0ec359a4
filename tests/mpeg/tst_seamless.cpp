// Seamless joins and stream details against real decoders: clips made by ffmpeg, joined by
// klivatarn-pack --seamless, must be one stream to ffprobe and ffmpeg, and --info --json agree with
// ffprobe. Without ffmpeg these rows skip.
#include "../support/TestFiles.h"
#include "mpeg/SeamlessRewriter.h"
#include "mpeg/StreamDetails.h"
#include "mpeg/VideoStream.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace kt;

namespace {

enum class Kind { Program, Video, Audio };

struct Ran
{
    int exit = -1; // -1: crashed or killed
    QString out, err;
};

Ran run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.setStandardInputFile(QProcess::nullDevice());
    p.start(program, args);
    if (!p.waitForFinished(60000))
        p.kill();
    p.waitForFinished();
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()).trimmed(),
            QString::fromLocal8Bit(p.readAllStandardError())};
}

// klivatarn-pack in the C locale with a trash under `home`, and the variables of `env`.
Ran runPacker(const QStringList& args, const QString& home, const QStringList& env = {})
{
    QFile::remove(args.value(args.indexOf("-o") + 1)); // so that only this run's bytes count
    return run("env", QStringList{"LC_ALL=C", "HOME=" + home, "XDG_DATA_HOME=" + home + "/xdg"} + env +
                          QStringList{qEnvironmentVariable("KT_BIN_DIR") + "/klivatarn-pack"} + args);
}

// ffprobe's duration (a video elementary stream: pictures over their rate), bit rate and width.
struct Probe
{
    double duration, bitRate, width;
};

Probe probe(const QString& path, Kind kind)
{
    QHash<QString, QString> v;
    for (const QString& line :
         run("ffprobe", {"-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
                         "stream=width,nb_read_frames,r_frame_rate:format=duration,bit_rate", "-of",
                         "default=nw=1", path})
             .out.split('\n'))
        v.insert(line.section('=', 0, 0), line.section('=', 1));
    const QStringList rate = v.value("r_frame_rate").split('/');
    return {kind == Kind::Video
                ? v.value("nb_read_frames").toDouble() * rate.value(1).toDouble() / rate.value(0).toDouble()
                : v.value("duration").toDouble(),
            v.value("bit_rate").toDouble(), v.value("width").toDouble()};
}

// A byte in a clock field: a pack header's SCR, or the first 34 bytes of a PES header (PTS, DTS).
bool inClockField(const QByteArray& stream, qsizetype at)
{
    for (qsizetype s = at - 4; s >= 0 && s > at - 34; --s) {
        if (stream[s] != 0 || stream[s + 1] != 0 || stream[s + 2] != 1)
            continue;
        const uchar code = uchar(stream[s + 3]);
        if (code == 0xBA)
            return at - s >= 4 && at - s < 10;
        return (code == 0xBD || (code >= 0xC0 && code <= 0xEF)) && at - s >= 6;
    }
    return false;
}

// The SCRs of a program stream's pack headers in 27 MHz units (MPEG-1: 90 kHz x 300).
QVector<qint64> systemClocks(const QByteArray& ps)
{
    QVector<qint64> clocks;
    for (qsizetype at = ps.indexOf(QByteArray("\0\0\1\xBA", 4)); at >= 0 && at + 10 <= ps.size();
         at = ps.indexOf(QByteArray("\0\0\1\xBA", 4), at + 4)) {
        const uchar* b = reinterpret_cast<const uchar*>(ps.constData()) + at + 4;
        const bool mpeg2 = (b[0] >> 6) == 1;
        const qint64 base = qint64(mpeg2 ? (b[0] >> 3 & 7) << 30 | (b[0] & 3) << 28 : (b[0] >> 1 & 7) << 30) |
                            qint64(b[1]) << 20 << (mpeg2 ? 0 : 2) |
                            qint64(mpeg2 ? (b[2] >> 3) << 15 | (b[2] & 3) << 13 : (b[2] >> 1) << 15) |
                            qint64(b[3]) << (mpeg2 ? 5 : 7) | (mpeg2 ? b[4] >> 3 : b[4] >> 1);
        clocks.append(base * 300 + (mpeg2 ? (b[4] & 3) << 7 | b[5] >> 1 : 0));
    }
    return clocks;
}

// The CRC-16 of LAME tags (polynomial 0x8005, reflected).
quint16 crc16(const char* data, int size)
{
    quint16 crc = 0;
    for (int bit = 0; bit < size * 8; ++bit) {
        crc ^= bit % 8 ? 0 : uchar(data[bit / 8]);
        crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
    }
    return crc;
}

// A video elementary stream's GOP time codes in frames, each with the pictures since the last.
QVector<QPair<qint64, qint64>> gopTimeCodes(const QByteArray& es)
{
    QVector<QPair<qint64, qint64>> gops;
    qint64 pictures = 0;
    for (qsizetype at = es.indexOf(QByteArray("\0\0\1", 3)); at >= 0 && at + 8 <= es.size();
         at = es.indexOf(QByteArray("\0\0\1", 3), at + 3)) {
        const uchar* g = reinterpret_cast<const uchar*>(es.constData()) + at;
        pictures += g[3] == 0x00;
        if (g[3] == 0xB8)
            gops.append({gopTimeCodeFrames(g, 30), std::exchange(pictures, 0)});
    }
    return gops;
}

} // namespace

class TestSeamless : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    bool m_ffmpeg = false;
    QString clip(const QString& name) const { return m_dir.filePath(name); }

private slots:
    void initTestCase()
    {
        m_ffmpeg = !QStandardPaths::findExecutable("ffmpeg").isEmpty() &&
                   !QStandardPaths::findExecutable("ffprobe").isEmpty();
        if (!m_ffmpeg)
            return;
        const QString mpeg1 = "-c:v mpeg1video -c:a mp2 -f mpeg", dvd = "-target ntsc-dvd -c:a ac3 -b:a 192k",
                      m1v = "-f mpeg1video", mp3 = "-id3v2_version 3 -write_id3v1 1 -ac 2 -c:a libmp3lame ";
        // Name; pictures; tone; seconds; the rest (v*.mp3: VBR).
        for (const auto& [name, video, tone, seconds, rest] : std::initializer_list<std::array<QString, 5>>{
                 {"a1.mpg", "testsrc=s=352x240:r=30000/1001", "sine=f=440:r=44100", "2", mpeg1},
                 {"a2.mpg", "testsrc2=s=352x240:r=30000/1001", "sine=f=660:r=44100", "1.5", mpeg1},
                 {"b1.mpg", "testsrc2=s=352x288:r=25", "sine=f=440:r=48000", "2", mpeg1},
                 {"b2.mpg", "testsrc=s=352x288:r=25", "sine=f=550:r=48000", "2.5", mpeg1 + " -b:v 1500k"},
                 {"b3.mpg", "testsrc=s=320x240:r=25", "sine=f=660:r=48000", "3", mpeg1},
                 {"d1.vob", "testsrc=s=720x480:r=30000/1001", "sine=f=440:r=48000", "1.5", dvd},
                 {"d2.vob", "testsrc2=s=720x480:r=30000/1001", "sine=f=660:r=48000", "2", dvd},
                 {"e1.m1v", "testsrc=s=352x240:r=30000/1001", "", "2", m1v},
                 {"e2.m1v", "testsrc2=s=352x240:r=30000/1001", "", "1", m1v},
                 {"v1.mp3", "", "sine=f=440:r=44100", "3", mp3 + "-q:a 4 -metadata title=One"},
                 {"v2.mp3", "", "sine=f=880:r=44100", "2", mp3 + "-q:a 2 -metadata title=Two"},
                 {"c1.mp3", "", "sine=f=440:r=44100", "2", mp3 + "-b:a 128k"},
                 {"c2.mp3", "", "sine=f=660:r=44100", "1.5", mp3 + "-b:a 128k"}}) {
            QString args = "-v error -y";
            for (const QString& input : {video, tone})
                args += input.isEmpty() ? "" : " -f lavfi -i " + input + ":d=" + seconds;
            QVERIFY2(test::runTool("ffmpeg", (args + " " + rest).split(' ') << clip(name)), qPrintable(name));
        }
    }

    // One stream: the parts' duration, decoded without an error, the sources trashed after the read-back.
    // Program streams differ from the byte join only in clock fields; video GOP time codes run on; MP3
    // keeps one ID3v2 at the front, one ID3v1 at the end and one VBR header.
    void join_data()
    {
        QTest::addColumn<QStringList>("clips");
        QTest::newRow("MPEG-1 352x240 29.97, MP2") << QStringList{"a1.mpg", "a2.mpg", "a1.mpg"};
        QTest::newRow("MPEG-1 352x288 25, MP2") << QStringList{"b1.mpg", "b2.mpg"};
        QTest::newRow("MPEG-2 DVD, AC-3") << QStringList{"d1.vob", "d2.vob"};
        QTest::newRow("video elementary") << QStringList{"e1.m1v", "e2.m1v", "e1.m1v"};
        QTest::newRow("MP3 VBR, ID3v2, ID3v1, Xing") << QStringList{"v1.mp3", "v2.mp3", "v1.mp3"};
        QTest::newRow("MP3 CBR and VBR, Info") << QStringList{"c1.mp3", "c2.mp3", "v2.mp3"};
    }
    void join()
    {
        QFETCH(QStringList, clips);
        if (!m_ffmpeg)
            QSKIP("ffmpeg and ffprobe are not installed (scripts/install-deps installs them)");
        const Kind kind = clips[0].endsWith("mp3")   ? Kind::Audio
                          : clips[0].endsWith("m1v") ? Kind::Video
                                                     : Kind::Program;
        QTemporaryDir work;
        QStringList paths, copies; // the clips, and copies of them for the trash
        QByteArray byteJoin;
        QVector<Probe> parts;
        double sum = 0;
        for (const QString& name : clips) {
            paths << clip(name);
            copies << work.filePath(QString::number(copies.size()) + name);
            QVERIFY(QFile::copy(paths.last(), copies.last()));
            byteJoin += test::fileBytes(clip(name));
            parts << probe(paths.last(), kind);
            sum += parts.last().duration;
        }
        const QString joined = work.filePath("joined");
        const QStringList pack{"--seamless", "--no-mpeg-check", "--rate=slow", "--force", "-o", joined};
        const Ran r = runPacker(pack + QStringList{"--trash"} + copies, work.path());
        QCOMPARE(r.exit, 0);
        const QByteArray out = test::fileBytes(joined);
        QCOMPARE(r.err,
                 QStringLiteral("klivatarn-pack: '%1' successfully packed! Total filesize is %2 bytes.\n")
                     .arg(joined, QLocale(QLocale::English).toString(out.size())));
        QVERIFY(std::none_of(copies.begin(), copies.end(),
                             [](const QString& c) { return QFileInfo::exists(c); }));

        QCOMPARE_LE(qAbs(probe(joined, kind).duration - sum), 0.1);
        const QString errors = run("ffmpeg", {"-v", "error", "-i", joined, "-f", "null", "-"}).err;
        QVERIFY2(errors.isEmpty(), qPrintable(errors));

        // --info --json on the parts against ffprobe (d2.vob's head and tail are read apart).
        const QJsonArray info =
            QJsonDocument::fromJson(run(qEnvironmentVariable("KT_BIN_DIR") + "/klivatarn-pack",
                                        QStringList{"--info", "--json"} + paths << clip("none"))
                                        .out.toUtf8())
                .array();
        QCOMPARE(info.size(), paths.size() + 1);
        QCOMPARE(info.last()["error"].toString(), QString::fromLocal8Bit(std::strerror(ENOENT)));
        for (qsizetype i = 0; i < clips.size(); ++i) {
            const QJsonObject d = info[i].toObject();
            QCOMPARE_LE(qAbs(d["duration"].toDouble(-1) - parts[i].duration), 0.05);
            const qint64 rate = d["bit_rate"].toInteger();
            const bool vbr = clips[i][0] == 'v'; // ffprobe counts the tags in
            QVERIFY(!vbr || qAbs(rate - parts[i].bitRate) < parts[i].bitRate / 50);
            const QString texts[] = {
                QStringLiteral("MPEG-%1 program stream").arg(clips[i].endsWith("vob") ? 2 : 1),
                "MPEG-1 video elementary stream",
                QStringLiteral("MPEG-1 audio layer III, %1 kbit/s, 44100 Hz, stereo")
                    .arg(vbr ? QStringLiteral("VBR %1").arg((rate + 500) / 1000) : "128")};
            QCOMPARE(d["kind_text"].toString(), texts[int(kind)]);
            QCOMPARE((std::tuple{d["path"].toString(), d["bytes"].toInteger(), d["sample_rate"].toInt(),
                                 d["width"].toDouble()}),
                     (std::tuple{paths[i], QFileInfo(paths[i]).size(), kind == Kind::Audio ? 44100 : 0,
                                 parts[i].width}));
        }

        if (kind == Kind::Video) {
            QCOMPARE(out.size(), byteJoin.size());
            const auto gops = gopTimeCodes(out);
            QCOMPARE(gops.size(), gopTimeCodes(byteJoin).size());
            for (qsizetype g = 1; g < gops.size(); ++g)
                QCOMPARE(gops[g].first, gops[g - 1].first + gops[g].second);
            return;
        }
        if (kind == Kind::Audio) {
            QVERIFY(out.size() < byteJoin.size());
            QCOMPARE(
                (QList<qsizetype>{out.count("ID3"), out.count("TAG"), out.count("Xing") + out.count("Info")}),
                (QList<qsizetype>{1, 1, 1}));
            QVERIFY(out.endsWith(byteJoin.right(128)));
            // The LAME tag's CRC of the MPEG-1 stereo frame's first 190 bytes still holds.
            const qsizetype frame = std::max(out.indexOf("Xing"), out.indexOf("Info")) - 36;
            QCOMPARE(crc16(out.constData() + frame, 190),
                     qFromBigEndian<quint16>(out.constData() + frame + 190));
            // The frames up to the ID3v1 tag, walked by their headers (layer III, 44.1 kHz), and the
            // seek table: entry i is where the frame i% of the way in starts, in 256ths of the music.
            const int kbps[] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0};
            const auto length = [&](qsizetype at) {
                const uchar h = out[at + 2];
                return 144000 * kbps[h >> 4] / 44100 + (h >> 1 & 1);
            };
            QVector<qsizetype> starts;
            qsizetype at = frame + length(frame);
            for (; at < out.size() - 128 && length(at) > 0; at += length(at))
                starts << at - frame;
            QCOMPARE(at, out.size() - 128);
            const auto* toc = reinterpret_cast<const uchar*>(out.constData()) + frame + 52;
            QCOMPARE(out[frame + 43] & 7, 7); // frames, bytes and the table are there
            for (int i = 1; i < 100; ++i)
                QCOMPARE_LE(qAbs(toc[i] - std::min<qsizetype>(255, starts[i * starts.size() / 100] * 256 /
                                                                       (at - frame))),
                            1);
            return;
        }
        QCOMPARE(out.size(), byteJoin.size());
        int differing = 0;
        for (qsizetype i = 0; i < out.size(); ++i)
            if (out[i] != byteJoin[i] && (++differing, !inClockField(byteJoin, i)))
                QFAIL(qPrintable(QStringLiteral("byte %1 changed").arg(i)));
        QVERIFY(differing > 0);
        const QVector<qint64> clocks = systemClocks(out); // each after the one before: no SCR goes back
        QCOMPARE(clocks.size(), systemClocks(byteJoin).size());
        QCOMPARE(std::adjacent_find(clocks.begin(), clocks.end(), std::greater_equal<>()) - clocks.begin(),
                 clocks.size());
        // Every picture one frame after the one before, across the joins too (the last has no time).
        QVector<qint64> shown;
        for (const QString& t :
             run("ffprobe", {"-v", "error", "-select_streams", "v:0", "-show_entries",
                             "frame=best_effort_timestamp", "-of", "default=nw=1:nk=1", joined})
                 .out.split('\n'))
            if (bool ok = false; t.toLongLong(&ok), ok)
                shown << t.toLongLong();
        QVERIFY(shown.size() > 10);
        std::sort(shown.begin(), shown.end());
        std::adjacent_difference(shown.begin(), shown.end(), shown.begin());
        QCOMPARE(std::count(shown.begin() + 1, shown.end(), shown[1]), shown.size() - 1);

        // Ctrl-C at the k-th block of the second part, ending inside a header the rewriter holds back, reads
        // slowed for a pass a block: the first part and k blocks, rewritten but for the bytes held back.
        const QByteArray second = test::fileBytes(paths[1]);
        qsizetype k = 1;
        while (k * 10000 < second.size() && !QRegularExpression("\\x00\\x00\\x01[\\xBA\\xBD\\xC0-\\xEF]")
                                                 .match(QString::fromLatin1(second.mid(k * 10000 - 30, 26)))
                                                 .hasMatch())
            ++k;
        QVERIFY(k * 10000 < second.size());
        const QString at = QString::number(k), shimMarker = work.filePath("shim");
        const Ran cut =
            runPacker(pack + paths, work.path(),
                      {"LD_PRELOAD=" KT_FAULT_SHIM, "KT_FAULT_MARKER=" + shimMarker,
                       "KT_FAULT_PATH=" + paths[1], "KT_FAULT_OP=read", "KT_FAULT_AT=1", "KT_FAULT_SHORT=-1",
                       "KT_FAULT_SLEEP_MS=30", "KT_HOOK_OP=read", "KT_HOOK_PATH=" + paths[1],
                       "KT_HOOK_AT=" + at, "KT_HOOK_CMD=kill -INT $PPID"});
        QVERIFY(QFileInfo::exists(shimMarker));
        QCOMPARE(cut.exit, 130);
        const QByteArray cutOut = test::fileBytes(joined);
        QCOMPARE(cutOut.size(), QFileInfo(paths[0]).size() + k * 10000);
        const qsizetype same = cutOut.size() - SeamlessRewriter::kMaxHeldBack;
        QCOMPARE(cutOut.first(same), out.first(same));
    }

    // A file over 256 KiB whose tail starts in audio data that looks like an MPEG-2.5 frame header.
    void lookalikeTail()
    {
        if (!m_ffmpeg)
            QSKIP("ffmpeg and ffprobe are not installed (scripts/install-deps installs them)");
        const double duration = streamDetailsJson(describeStream(clip("b3.mpg")))["duration"].toDouble(-1);
        QCOMPARE_LE(qAbs(duration - probe(clip("b3.mpg"), Kind::Program).duration), 0.05);
    }

    // Parts that cannot be rewritten are copied as they are, with the reason, untouched.
    void oddParts()
    {
        const QByteArray pack("\x00\x00\x01\xBA\x44\x00\x04\x00\x04\x01\x01\x89\xC3\xF8", 14);
        const QString path = m_dir.filePath("odd"), ps = "mpeg2-program-stream";
        // Random bytes, a sequence header cut off, pack headers without clocks, a missing file and a
        // changed size: the bytes; the length given, off by this; the reason; what describeStream says.
        for (const auto& [bytes, lengthDelta, reason, kind] :
             std::initializer_list<std::tuple<QByteArray, int, QString, QString>>{
                 {test::patternBytes(30000, 3), 0, "not an MPEG stream", "unknown"},
                 {QByteArray("\x00\x00\x01\xB3\x16\x00\xF0", 7), 0, "not an MPEG stream", "unknown"},
                 {pack + pack + test::patternBytes(3000, 4), 0, "damaged", ps},
                 {{}, 0, QString::fromLocal8Bit(std::strerror(ENOENT)), "unknown"},
                 {pack + pack, 1, "changed size", ps}}) {
            QFile::remove(path);
            QVERIFY(bytes.isEmpty() || test::writeFile(path, bytes));
            const quint64 length = quint64(bytes.size() + lengthDelta);
            const SeamlessPlan plan = planSeamlessJoin({{path, length}});
            QCOMPARE(plan.unchangedParts(), QVector<int>{0});
            QCOMPARE(plan.parts[0].reason, reason);
            QCOMPARE(plan.outputSize, length);
            SeamlessRewriter rewriter(plan);
            rewriter.beginPart(0);
            QByteArray copy = bytes, out;
            for (qsizetype at = 0; at < copy.size(); at += 1000)
                out += rewriter.feed(copy.data() + at, std::min<qsizetype>(1000, copy.size() - at))
                           .toByteArray();
            QCOMPARE(out + rewriter.endPart().toByteArray(), bytes);
            const QJsonObject json = streamDetailsJson(describeStream(path));
            QCOMPARE(json.value("kind").toString(), kind);
            QVERIFY(json.value("duration").isNull() && json.value("width").isNull());
            QCOMPARE(json.value("error").isNull(), !bytes.isEmpty());
        }
    }

    // GOP time codes and back; drop-frame skips numbers 0 and 1 each minute but every tenth; a day wraps.
    void timeCodes()
    {
        for (const auto& [frames, drop, text] : std::initializer_list<std::tuple<qint64, bool, QString>>{
                 {0, false, "00:00:00:00"},
                 {1800, false, "00:01:00:00"},
                 {24 * 3600 * 30 + 5, false, "00:00:00:05"},
                 {1799, true, "00:00:59:29"},
                 {1800, true, "00:01:00:02"},
                 {17982, true, "00:10:00:00"},
                 {107892 + 1800, true, "01:01:00:02"}}) {
            uchar gop[8] = {0, 0, 1, 0xB8, uchar(drop ? 0x80 : 0), 0x08, 0, 0x40}; // marker set, closed GOP
            writeGopTimeCode(gop, frames, 30);
            const quint32 tc =
                quint32(gop[4]) << 17 | quint32(gop[5]) << 9 | quint32(gop[6]) << 1 | gop[7] >> 7;
            QCOMPARE(QString::asprintf("%02u:%02u:%02u:%02u", (tc >> 19) & 31, (tc >> 13) & 63,
                                       (tc >> 6) & 63, tc & 63),
                     text);
            QCOMPARE(bool(gop[4] & 0x80), drop);
            QVERIFY((gop[5] & 0x08) && (gop[7] & 0x40)); // marker and closed_gop kept
            QCOMPARE(gopTimeCodeFrames(gop, 30), frames % (24 * 3600 * 30));
        }
    }
};

QTEST_GUILESS_MAIN(TestSeamless)
#include "tst_seamless.moc"
