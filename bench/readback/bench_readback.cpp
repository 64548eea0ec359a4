// The read-back that runs before sources go to the trash, against a plain read of the same
// bytes from the storage.
//   bench_readback [--dir DIR] [--mib N] [--rounds N] [--keep]
// Writes three sources (N MiB in all, default 1536) and their join as the output, flushed, as a
// pack leaves them; then, round after round, from the same start (sources and output in the
// page cache, as right after a pack):
//   plain     the output's cached pages dropped, then the output read with 1 MiB read() calls
//   sources   the sources read from the page cache (the other half of what the read-back reads)
//   readback  ReadBack::run over ExpectedOutput of the sources, as the join runs it
// and prints the best round of each (wall and CPU time of the process), the ratio readback /
// plain, and how much of the output is in the page cache after the read-back (mincore): the
// read-back must not have been served from it, nor leave it there.
#include "engine/ExpectedOutput.h"
#include "engine/ReadBack.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <functional>
#include <random>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

using namespace kt;

namespace {

struct Times
{
    double wall = 1e9, cpu = 1e9;
};

double cpuSeconds()
{
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

void measure(Times& best, const std::function<void()>& run)
{
    QElapsedTimer wall;
    const double cpu0 = cpuSeconds();
    wall.start();
    run();
    best.wall = std::min(best.wall, double(wall.nsecsElapsed()) / 1e9);
    best.cpu = std::min(best.cpu, cpuSeconds() - cpu0);
}

QByteArray native(const QString& path)
{
    return QFile::encodeName(path);
}

// Reads a whole file with 1 MiB calls; with `cold`, its cached pages are dropped first.
qint64 readAll(const QString& path, bool cold)
{
    const int fd = ::open(native(path).constData(), O_RDONLY | O_CLOEXEC);
    if (cold)
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    static char buffer[1 << 20];
    qint64 total = 0;
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;)
        total += n;
    ::close(fd);
    return total;
}

// The share of the file's pages in the page cache, in percent.
double cachedPercent(const QString& path)
{
    const int fd = ::open(native(path).constData(), O_RDONLY | O_CLOEXEC);
    const off_t size = ::lseek(fd, 0, SEEK_END);
    void* map = ::mmap(nullptr, size_t(size), PROT_READ, MAP_SHARED, fd, 0);
    const long page = ::sysconf(_SC_PAGESIZE);
    std::vector<unsigned char> in((size_t(size) + page - 1) / page);
    ::mincore(map, size_t(size), in.data());
    ::munmap(map, size_t(size));
    ::close(fd);
    return 100.0 * double(std::count_if(in.begin(), in.end(), [](unsigned char c) { return c & 1; })) /
           double(in.size());
}

bool writeRandom(const QString& path, qint64 size, std::mt19937_64& random)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QByteArray chunk(1 << 20, Qt::Uninitialized);
    for (qint64 left = size; left > 0; left -= chunk.size()) {
        for (qsizetype i = 0; i + 8 <= chunk.size(); i += 8) {
            const quint64 v = random();
            std::memcpy(chunk.data() + i, &v, 8);
        }
        if (f.write(chunk.constData(), std::min<qint64>(left, chunk.size())) < 0)
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QString dir = QDir::tempPath() + QStringLiteral("/kt-bench-readback");
    qint64 mib = 1536;
    int rounds = 5;
    bool keep = false;
    for (int i = 1; i < argc; ++i) {
        const QByteArray a(argv[i]);
        if (a == "--dir" && i + 1 < argc)
            dir = QString::fromLocal8Bit(argv[++i]);
        else if (a == "--mib" && i + 1 < argc)
            mib = QByteArray(argv[++i]).toLongLong();
        else if (a == "--rounds" && i + 1 < argc)
            rounds = QByteArray(argv[++i]).toInt();
        else if (a == "--keep")
            keep = true;
        else {
            std::fprintf(stderr, "usage: bench_readback [--dir DIR] [--mib N] [--rounds N] [--keep]\n");
            return 2;
        }
    }
    QDir().mkpath(dir);
    const qint64 sizes[] = {mib * 7 / 32 << 20, mib * 10 / 32 << 20,
                            (mib - mib * 7 / 32 - mib * 10 / 32) << 20};
    QStringList sources;
    std::mt19937_64 random(17);
    const QString out = dir + QStringLiteral("/out.bin");
    QFile joined(out);
    joined.open(QIODevice::WriteOnly | QIODevice::Truncate);
    for (int i = 0; i < 3; ++i) {
        sources << dir + QStringLiteral("/src%1.bin").arg(i + 1);
        if (QFile(sources[i]).size() != sizes[i] && !writeRandom(sources[i], sizes[i], random))
            return 1;
        QFile in(sources[i]);
        in.open(QIODevice::ReadOnly);
        while (!in.atEnd())
            joined.write(in.read(1 << 20));
    }
    joined.flush();
    ::fsync(joined.handle());
    joined.close();
    QVector<PackedFile> packed;
    for (const QString& s : sources)
        packed.push_back({s, identityOfPath(s)});
    const FileIdentity written = identityOfPath(out);

    Times plain, sourcesOnly, readBack;
    double cachedAfter = 0;
    for (int round = 0; round < rounds; ++round) {
        for (const QString& s : sources + QStringList{out}) // as a pack leaves them
            readAll(s, false);
        measure(plain, [&] { readAll(out, true); });
        readAll(out, false);
        measure(sourcesOnly, [&] {
            for (const QString& s : sources)
                readAll(s, false);
        });
        readAll(out, false);
        measure(readBack, [&] {
            ExpectedOutput expected(packed);
            const JoinStep step = ReadBack(out, written).run(expected, [](quint64) { return true; });
            if (!step.go())
                std::fprintf(stderr, "read-back failed: %s\n", qPrintable(step.text));
        });
        cachedAfter = cachedPercent(out);
    }
    const double gib = double(written.size) / double(1 << 30);
    std::printf("output %.2f GiB in %s, best of %d rounds\n", gib, qPrintable(dir), rounds);
    std::printf("%-10s %8s %8s %10s\n", "", "wall s", "cpu s", "GiB/s");
    for (const auto& [name, t] :
         {std::pair{"plain", plain}, {"sources", sourcesOnly}, {"readback", readBack}})
        std::printf("%-10s %8.3f %8.3f %10.2f\n", name, t.wall, t.cpu, gib / t.wall);
    std::printf("readback / plain: wall %.2f, cpu %.2f\n", readBack.wall / plain.wall,
                readBack.cpu / plain.cpu);
    std::printf("output in the page cache after the read-back: %.1f%%\n", cachedAfter);
    if (!keep)
        QDir(dir).removeRecursively();
    return 0;
}
