// The seamless join's rewriter against plain copies of the same bytes (see bench/README.md).
//
//   bench_seamless [--dir DIR] [--mib M] [--rounds R] [--block B] [--keep]
//
// 1. In memory: each block copied into the join's buffer (what read() does), with and
//    without the rewriter's pass over it, for a program stream, a video elementary stream
//    and MPEG audio: the rewriter's throughput and its cost against the copy (thread CPU
//    time, best of R).
// 2. On files: three program streams of M/3 MiB under DIR joined by `cat a b c > out`, by a
//    read/write loop with blocks of B bytes, and by the same loop with the plan and the
//    rewriter (what a seamless pack does), in interleaved rounds, each run removing the old
//    output and starting after `sync`: wall and CPU time, and the ratios to cat.
#include "mpeg/SeamlessRewriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace kt;

namespace {

// Random payload without 00 00 01 (a real stream's payload holds no system start codes).
void fillPayload(QRandomGenerator& gen, char* p, qsizetype n)
{
    for (qsizetype i = 0; i < n; i += 4) {
        const quint32 v = gen.generate() | 0x01010101u;
        std::memcpy(p + i, &v, size_t(std::min<qsizetype>(4, n - i)));
    }
}

void putTimestamp(char* p, int prefix, quint64 t)
{
    p[0] = char(prefix << 4 | ((t >> 29) & 0x0E) | 1);
    p[1] = char(t >> 22);
    p[2] = char(((t >> 14) & 0xFE) | 1);
    p[3] = char(t >> 7);
    p[4] = char(((t << 1) & 0xFE) | 1);
}

// An MPEG-2 program stream of 2,048-byte packs: video packets that each start a picture
// (a sequence header and a GOP now and then), an audio packet in every tenth pack.
QByteArray programStream(qint64 bytes, quint32 seed)
{
    QByteArray s(qsizetype(bytes / 2048 * 2048), Qt::Uninitialized);
    QRandomGenerator gen(seed);
    quint64 pts = 45000;
    for (qsizetype at = 0, pack = 0; at < s.size(); at += 2048, ++pack) {
        char* p = s.data() + at;
        const quint64 scr = pts - 40000 + quint64(pack);
        const char header[14] = {0,
                                 0,
                                 1,
                                 char(0xBA),
                                 char(0x44 | ((scr >> 27) & 0x38) | ((scr >> 28) & 3)),
                                 char(scr >> 20),
                                 char(((scr >> 12) & 0xF8) | 4 | ((scr >> 13) & 3)),
                                 char(scr >> 5),
                                 char(((scr << 3) & 0xF8) | 4),
                                 1,
                                 0x01,
                                 char(0x89),
                                 char(0xC3),
                                 char(0xF8)};
        std::memcpy(p, header, 14);
        const bool audio = pack % 10 == 9;
        const char pes[9] = {0,
                             0,
                             1,
                             char(audio ? 0xC0 : 0xE0),
                             char((2048 - 20) >> 8),
                             char((2048 - 20) & 0xFF),
                             char(0x81),
                             char(audio ? 0x80 : 0xC0),
                             char(audio ? 5 : 10)};
        std::memcpy(p + 14, pes, 9);
        putTimestamp(p + 23, audio ? 2 : 3, pts);
        int payload = 28;
        if (!audio) {
            putTimestamp(p + 28, 1, pts - 3003);
            payload = 33;
            pts += 3003;
        }
        fillPayload(gen, p + payload, 2048 - payload);
        if (!audio) {
            const char picture[8] = {0, 0, 1, 0, char(pack % 15 << 6 >> 4), 0x0F, char(0xFF), char(0xF8)};
            std::memcpy(p + payload, picture, 8);
        }
        if (pack == 0) {
            const char sequence[12] = {0,          0,    1,          char(0xB3), 0x16,       0x00,
                                       char(0xF0), 0x14, char(0xFF), char(0xFF), char(0xE0), 0x18};
            std::memcpy(p + 33, sequence, 12);
            const char picture[8] = {0, 0, 1, 0, 0, 0x0F, char(0xFF), char(0xF8)};
            std::memcpy(p + 45, picture, 8);
        }
    }
    return s;
}

// A video elementary stream: slices every 400 bytes, a picture every 4,000, a GOP every 15.
QByteArray videoStream(qint64 bytes, quint32 seed)
{
    QByteArray s(qsizetype(bytes), Qt::Uninitialized);
    QRandomGenerator gen(seed);
    fillPayload(gen, s.data(), s.size());
    for (qsizetype at = 0, n = 0; at + 8 <= s.size(); at += 400, ++n) {
        char* p = s.data() + at;
        if (n % 150 == 0) { // a GOP header with its time code
            const char gop[8] = {0, 0, 1, char(0xB8), 0, 0x08, 0, 0x40};
            std::memcpy(p, gop, 8);
        } else {
            const char code[4] = {0, 0, 1, char(n % 10 == 1 ? 0x00 : 1 + n % 10)};
            std::memcpy(p, code, 4);
        }
    }
    return s;
}

// CPU time of this thread: steadier than wall time on a machine shared with other work.
double threadSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// What a rewriter does with each block, against the copy alone (the bytes come from memory,
// as read() brings them from the page cache).
struct Pass
{
    double copy = 0;    // seconds for the copies alone
    double rewrite = 0; // copies and the rewriter
};

Pass timeRewriter(const QByteArray& stream, const SeamlessPlan& plan, qint64 block, int rounds)
{
    std::unique_ptr<char[]> buffer(new char[size_t(SeamlessRewriter::kHeadroom + block)]);
    char* data = buffer.get() + SeamlessRewriter::kHeadroom;
    volatile char sink = 0;
    std::vector<double> copies, rewrites;
    for (int r = 0; r < rounds; ++r) {
        for (const bool rewrite : {false, true}) {
            SeamlessRewriter rewriter(plan);
            const double start = threadSeconds();
            for (int part = 0; part < plan.parts.size(); ++part) {
                rewriter.beginPart(part);
                for (qsizetype at = 0; at < stream.size(); at += block) {
                    const qsizetype n = std::min<qsizetype>(block, stream.size() - at);
                    std::memcpy(data, stream.constData() + at, size_t(n));
                    sink = sink + (rewrite ? rewriter.feed(data, n).data()[0] : data[n - 1]);
                }
                rewriter.endPart();
            }
            (rewrite ? rewrites : copies).push_back(threadSeconds() - start);
        }
    }
    return {*std::min_element(copies.begin(), copies.end()),
            *std::min_element(rewrites.begin(), rewrites.end())};
}

double cpuSeconds(int who)
{
    rusage u{};
    getrusage(who, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// The join's loop: read a block, (rewrite it,) write what comes out.
bool joinLoop(const QStringList& sources, const QString& out, qint64 block, SeamlessRewriter* rewriter)
{
    const int o = ::open(QFile::encodeName(out).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (o < 0)
        return false;
    std::unique_ptr<char[]> buffer(new char[size_t(SeamlessRewriter::kHeadroom + block)]);
    char* data = buffer.get() + SeamlessRewriter::kHeadroom;
    bool ok = true;
    const auto put = [&](const char* p, qsizetype n) {
        ok = ok && (n == 0 || ::write(o, p, size_t(n)) == n);
    };
    for (int i = 0; i < sources.size() && ok; ++i) {
        const int in = ::open(QFile::encodeName(sources[i]).constData(), O_RDONLY | O_CLOEXEC);
        ::posix_fadvise(in, 0, 0, POSIX_FADV_SEQUENTIAL);
        if (rewriter)
            rewriter->beginPart(i);
        for (ssize_t n; ok && (n = ::read(in, data, size_t(block))) > 0;) {
            if (rewriter) {
                const QByteArrayView v = rewriter->feed(data, n);
                put(v.data(), v.size());
            } else {
                put(data, n);
            }
        }
        if (rewriter) {
            const QByteArrayView held = rewriter->endPart();
            put(held.data(), held.size());
        }
        ::close(in);
    }
    return ::close(o) == 0 && ok;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString dir = QDir::temp().filePath("kt-bench-seamless");
    qint64 mib = 600, block = 1000000;
    int rounds = 5;
    bool keep = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString a = args[i];
        const QString v = args.value(i + 1);
        if (a == "--dir")
            dir = v, ++i;
        else if (a == "--mib")
            mib = v.toLongLong(), ++i;
        else if (a == "--rounds")
            rounds = v.toInt(), ++i;
        else if (a == "--block")
            block = v.toLongLong(), ++i;
        else if (a == "--keep")
            keep = true;
        else {
            std::fprintf(stderr,
                         "usage: bench_seamless [--dir DIR] [--mib M] [--rounds R] [--block B] [--keep]\n");
            return 2;
        }
    }

    // 1. The rewriter in memory, a part of 256 MiB fed twice (the second part shifted).
    const qint64 partBytes = qint64(256) << 20;
    std::printf("rewriter in memory, 2 parts of %lld MiB, blocks of %lld bytes, best of %d\n",
                partBytes >> 20, block, rounds);
    std::printf("%-24s %10s %12s %10s\n", "stream", "copy GB/s", "+rewrite GB/s", "time ratio");
    const auto report = [&](const char* name, const QByteArray& stream, SeamlessPlan plan) {
        for (SeamlessPart& p : plan.parts)
            p.length = p.outputLength = quint64(stream.size());
        const Pass pass = timeRewriter(stream, plan, block, rounds);
        const double gb = 2.0 * double(stream.size()) / 1e9;
        std::printf("%-24s %10.2f %12.2f %10.2f\n", name, gb / pass.copy, gb / pass.rewrite,
                    pass.rewrite / pass.copy);
    };
    SeamlessPlan ps;
    ps.parts.resize(2);
    for (SeamlessPart& p : ps.parts)
        p.format = PartFormat::ProgramStream, p.rewritten = true;
    ps.parts[1].shift = true;
    ps.parts[1].clockOffset = 12345678;
    report("program stream", programStream(partBytes, 1), ps);
    SeamlessPlan es = ps;
    for (SeamlessPart& p : es.parts)
        p.format = PartFormat::VideoElementary, p.nominalFps = 25;
    report("video elementary", videoStream(partBytes, 2), es);
    SeamlessPlan mp3 = ps;
    for (SeamlessPart& p : mp3.parts)
        p.format = PartFormat::MpegAudio;
    mp3.parts[1].edits = {{0, 1000, {}}, {quint64(partBytes) - 128, 128, {}}};
    report("MPEG audio (edits)", videoStream(partBytes, 3), mp3);

    // 2. Whole joins of files against cat.
    QDir().mkpath(dir);
    QStringList sources;
    for (int i = 0; i < 3; ++i) {
        const QString path = QDir(dir).filePath(QStringLiteral("part%1.mpg").arg(i));
        const qint64 size = (mib << 20) / 3 / 2048 * 2048;
        if (QFileInfo(path).size() != size) {
            QFile f(path);
            if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
                f.write(programStream(size, 10 + i)) != size)
                return 1;
        }
        sources << path;
        QFile f(path); // into the page cache
        f.open(QIODevice::ReadOnly);
        while (!f.read(1 << 20).isEmpty()) {
        }
    }
    QVector<SeamlessSource> parts;
    for (const QString& s : sources)
        parts.append({s, quint64(QFileInfo(s).size())});
    std::vector<double> planTimes;
    for (int r = 0; r < rounds; ++r) {
        const double start = threadSeconds();
        if (!planSeamlessJoin(parts).unchangedParts().isEmpty())
            return 1;
        planTimes.push_back(threadSeconds() - start);
    }
    const QString out = QDir(dir).filePath("out.mpg");
    struct Contender
    {
        const char* name;
        std::function<bool()> run;
        std::vector<double> wall = {}, cpu = {};
    };
    std::vector<Contender> contenders = {
        {"cat",
         [&] {
             const pid_t pid = fork();
             if (pid == 0) {
                 const int o = ::open(QFile::encodeName(out).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
                 ::dup2(o, 1);
                 const QByteArray a = QFile::encodeName(sources[0]), b = QFile::encodeName(sources[1]),
                                  c = QFile::encodeName(sources[2]);
                 ::execlp("cat", "cat", a.constData(), b.constData(), c.constData(), (char*)nullptr);
                 ::_exit(127);
             }
             int status = 0;
             return pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
                    WEXITSTATUS(status) == 0;
         }},
        {"read/write", [&] { return joinLoop(sources, out, block, nullptr); }},
        {"seamless (plan+rewrite)",
         [&] {
             SeamlessRewriter rewriter(planSeamlessJoin(parts));
             return joinLoop(sources, out, block, &rewriter);
         }},
    };
    for (int r = 0; r < rounds; ++r) {
        for (size_t k = 0; k < contenders.size(); ++k) {
            Contender& c = contenders[(k + size_t(r)) % contenders.size()];
            QFile::remove(out);
            ::sync();
            const double cpu0 = cpuSeconds(RUSAGE_SELF) + cpuSeconds(RUSAGE_CHILDREN);
            QElapsedTimer t;
            t.start();
            if (!c.run())
                return 1;
            c.wall.push_back(double(t.nsecsElapsed()) / 1e9);
            c.cpu.push_back(cpuSeconds(RUSAGE_SELF) + cpuSeconds(RUSAGE_CHILDREN) - cpu0);
        }
    }
    std::printf("\njoin of 3 x %lld MiB program streams, blocks of %lld bytes, median of %d rounds\n",
                (mib / 3), block, rounds);
    std::printf("%-24s %8s %8s %8s %8s\n", "contender", "wall s", "CPU s", "wall/cat", "CPU/cat");
    for (const Contender& c : contenders)
        std::printf("%-24s %8.3f %8.3f %8.2f %8.2f\n", c.name, median(c.wall), median(c.cpu),
                    median(c.wall) / median(contenders[0].wall), median(c.cpu) / median(contenders[0].cpu));
    std::printf("the plan alone (heads and tails of the three): %.1f ms CPU\n", median(planTimes) * 1000);
    QFile::remove(out);
    if (!keep)
        QDir(dir).removeRecursively();
    return 0;
}
