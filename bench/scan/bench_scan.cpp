// Sequence-header scan against a plain sequential read of the same file, both from the
// page cache, and the cost of GetMPEGInfo per small MPEG file.
//
//   bench_scan [--dir DIR] [--rounds N] [--files N] [--keep] [--width avx2|sse2|bytes]
#include "../../tests/support/MpegFixtures.h"
#include "base/File64.h"
#include "mpeg/HeaderScan.h"
#include "mpeg/StreamInfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <climits>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

using namespace kt;

namespace {

constexpr qint64 kBigSize = qint64(1) << 30; // 1 GiB, no sequence header
constexpr qint64 kBlock = qint64(1) << 20;

bool makeBigFile(const QString& path)
{
    if (QFileInfo(path).size() == kBigSize)
        return true; // kept from an earlier run
    // A repeated block of random-looking bytes; the fixture guarantees no start code,
    // not even where one copy meets the next.
    const QByteArray block = test::fillerBytes(kBlock, 7);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    for (qint64 done = 0; done < kBigSize; done += kBlock) {
        if (f.write(block) != kBlock)
            return false;
    }
    return true;
}

// Reads the whole file with read() into one reused buffer of `bufferSize`.
qint64 plainRead(const QString& path, qint64 bufferSize)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    const std::unique_ptr<char[]> buffer(new char[bufferSize]);
    qint64 total = 0;
    for (;;) {
        const File64::IoResult r = File64::ReadBlock(fd, buffer.get(), bufferSize);
        total += r.bytes;
        if (r.bytes < bufferSize)
            break;
    }
    ::close(fd);
    return total;
}

// The scan as the program runs it; returns the bytes it covered.
qint64 scan(File64& file, const QString& path, ScanOutcome& outcome)
{
    file.OpenFile(path, File64::kReadOnlyExisting);
    const File64::Handle h = file.FileHandle();
    const quint64 length = GetFileLen(path);
    outcome = scanForSequenceHeader(file, length).outcome;
    file.CloseFile(h);
    // At the chunk limit the scan stops after 32,767 chunks and three bytes more.
    return outcome == ScanOutcome::ChunkLimit ? qint64(kScanChunkLimit) * kScanChunkSize + 3 : qint64(length);
}

double mibPerSecond(qint64 bytes, qint64 ns)
{
    return double(bytes) / (1 << 20) / (double(ns) / 1e9);
}

qint64 threadCpuNs()
{
    timespec ts{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return qint64(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

// Wall-clock and CPU time (user and system) of this thread, best of the rounds. On a busy
// machine the CPU time is the steadier figure: it leaves out the time spent waiting to run.
struct Best
{
    qint64 wall = LLONG_MAX;
    qint64 cpu = LLONG_MAX;
    template <typename F> auto time(F f)
    {
        QElapsedTimer t;
        const qint64 c0 = threadCpuNs();
        t.start();
        auto r = f();
        wall = std::min(wall, t.nsecsElapsed());
        cpu = std::min(cpu, threadCpuNs() - c0);
        return r;
    }
};

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    auto option = [&](const QString& name, const QString& fallback) {
        const qsizetype i = args.indexOf(name);
        return i >= 0 && i + 1 < args.size() ? args.at(i + 1) : fallback;
    };
    const QString dirPath =
        option(QStringLiteral("--dir"), QDir::temp().filePath(QStringLiteral("kt-bench-scan")));
    const int rounds = std::max(1, option(QStringLiteral("--rounds"), QStringLiteral("9")).toInt());
    const int fileCount = std::max(1, option(QStringLiteral("--files"), QStringLiteral("1000")).toInt());
    const bool keep = args.contains(QStringLiteral("--keep"));
    const QString width = option(QStringLiteral("--width"), QString());
    if (width == QLatin1String("avx2"))
        setSearchWidth(SearchWidth::Avx2);
    else if (width == QLatin1String("sse2"))
        setSearchWidth(SearchWidth::Sse2);
    else if (width == QLatin1String("bytes"))
        setSearchWidth(SearchWidth::Bytes);

    QDir dir(dirPath);
    if (!dir.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(dirPath));
        return 1;
    }
    const QString big = dir.filePath(QStringLiteral("no-header-1GiB.bin"));
    if (!makeBigFile(big)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(big));
        return 1;
    }
    plainRead(big, kBlock); // into the page cache

    // Rounds alternate so that both see the same machine state; the best of each counts.
    Best b32, b128, bScan;
    qint64 read32 = 0, read128 = 0, scanned = 0;
    ScanOutcome outcome = ScanOutcome::Found;
    File64 file;
    for (int r = 0; r < rounds; ++r) {
        read32 = b32.time([&] { return plainRead(big, kScanChunkSize); });
        read128 = b128.time([&] { return plainRead(big, 128 * 1024); });
        scanned = bScan.time([&] { return scan(file, big, outcome); });
    }
    if (outcome != ScanOutcome::ChunkLimit || read32 != kBigSize || read128 != kBigSize) {
        std::fprintf(stderr, "unexpected: the file must be read whole and hold no header\n");
        return 1;
    }
    auto line = [](const char* what, qint64 bytes, const Best& b) {
        std::printf("  %-29s %7.1f ms %6.0f MiB/s   %7.1f ms %6.0f MiB/s\n", what, b.wall / 1e6,
                    mibPerSecond(bytes, b.wall), b.cpu / 1e6, mibPerSecond(bytes, b.cpu));
    };
    auto ratio = [&](const char* what, qint64 bytes, const Best& b) {
        std::printf("  scan / %-22s %7.2f %27.2f\n", what,
                    mibPerSecond(scanned, bScan.wall) / mibPerSecond(bytes, b.wall),
                    mibPerSecond(scanned, bScan.cpu) / mibPerSecond(bytes, b.cpu));
    };
    std::printf("1 GiB holding no sequence header, from the page cache, best of %d rounds\n", rounds);
    std::printf("  %-29s %24s   %24s\n", "", "wall clock", "thread CPU time");
    line("plain read, 32 KiB buffer", read32, b32);
    line("plain read, 128 KiB buffer", read128, b128);
    line("header scan, 32,767 chunks", scanned, bScan);
    std::printf("  speed ratio (goal >= 0.80)\n");
    ratio("plain read 32 KiB", read32, b32);
    ratio("plain read 128 KiB", read128, b128);

    // GetMPEGInfo over many small files, the header a little way in as behind a pack header.
    QDir small(dir.filePath(QStringLiteral("small")));
    small.mkpath(QStringLiteral("."));
    QStringList paths;
    for (int i = 0; i < fileCount; ++i) {
        const QString p = small.filePath(QStringLiteral("clip%1.mpg").arg(i, 4, 10, QLatin1Char('0')));
        if (QFileInfo(p).size() != 200'000 &&
            !test::writeMpegLikeFile(p, 200'000, (i * 37) % 2000, 352, 240, 4))
            return 1;
        paths << p;
    }
    for (const QString& p : paths) // warm
        GetMPEGInfo(file, p);
    Best info;
    for (int r = 0; r < rounds; ++r) {
        const int found = info.time([&] {
            int n = 0;
            for (const QString& p : paths)
                n += GetMPEGInfo(file, p).frameRate == QLatin1String("29.97");
            return n;
        });
        if (found != fileCount) {
            std::fprintf(stderr, "unexpected: %d of %d files described\n", found, fileCount);
            return 1;
        }
    }
    std::printf("GetMPEGInfo over %d MPEG files of 200,000 bytes: %.1f ms wall (%.1f us per file), "
                "%.1f ms CPU (%.1f us per file)\n",
                fileCount, info.wall / 1e6, info.wall / 1e3 / fileCount, info.cpu / 1e6,
                info.cpu / 1e3 / fileCount);

    if (!keep)
        dir.removeRecursively();
    return 0;
}
