// Runs a fuzz target without libFuzzer: the corpus, then deterministic mutations of it
// under a time budget. Built with the sanitizers, a fault aborts the run.
//   replay CORPUS_DIR... [--mutations N] [--seconds S]
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {
using Bytes = std::vector<uint8_t>;

void run(const Bytes& b)
{
    LLVMFuzzerTestOneInput(b.data(), b.size());
}

void putField(Bytes& b, size_t at, uint32_t value, int width)
{
    for (int i = 0; i < width && at + i < b.size(); ++i)
        b[at + i] = uint8_t(value >> (8 * i));
}

Bytes mutate(const Bytes& seed, const std::vector<Bytes>& all, std::mt19937& rng)
{
    Bytes b = seed;
    auto pick = [&rng](size_t n) { return n ? size_t(rng() % n) : 0; };
    static const uint32_t edges[] = {
        0,      1,      2,      3,       4,          8,           15,          16,         17,  24,
        31,     32,     33,     40,      48,         64,          127,         128,        255, 256,
        0x7FFF, 0x8000, 0xFFFF, 0x10000, 0x7FFFFFFF, 0x80000000u, 0xFFFFFFF0u, 0xFFFFFFFFu};
    const int steps = 1 + int(rng() % 4);
    for (int s = 0; s < steps; ++s) {
        switch (rng() % 7) {
        case 0: // flip a bit
            if (!b.empty())
                b[pick(b.size())] ^= uint8_t(1u << (rng() % 8));
            break;
        case 1: // a random byte
            if (!b.empty())
                b[pick(b.size())] = uint8_t(rng());
            break;
        case 2: { // a header or directory field set to an edge value
            const size_t field = rng() % 2 ? pick(std::min<size_t>(b.size(), 6 + 16 * 4)) : pick(b.size());
            putField(b, field, edges[pick(std::size(edges))], rng() % 2 ? 2 : 4);
            break;
        }
        case 3: // truncate
            b.resize(pick(b.size() + 1));
            break;
        case 4: // extend
            b.resize(b.size() + 1 + pick(64), uint8_t(rng()));
            break;
        case 5: { // splice in a piece of another input
            const Bytes& other = all[pick(all.size())];
            if (!other.empty() && !b.empty()) {
                const size_t from = pick(other.size());
                const size_t len = std::min(other.size() - from, size_t(1 + pick(64)));
                const size_t to = pick(b.size());
                b.insert(b.begin() + std::ptrdiff_t(to), other.begin() + std::ptrdiff_t(from),
                         other.begin() + std::ptrdiff_t(from + len));
            }
            break;
        }
        default: { // a start code planted at a random place
            const uint8_t code[] = {0, 0, 1, 0xB3};
            const size_t to = pick(b.size() + 1);
            b.insert(b.begin() + std::ptrdiff_t(to), code, code + 4);
            break;
        }
        }
    }
    return b;
}
} // namespace

int main(int argc, char* argv[])
{
    long mutations = 10000;
    double seconds = 20;
    std::vector<Bytes> corpus;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--mutations" && i + 1 < argc) {
            mutations = std::stol(argv[++i]);
        } else if (arg == "--seconds" && i + 1 < argc) {
            seconds = std::stod(argv[++i]);
        } else {
            const QDir dir(QString::fromLocal8Bit(argv[i]));
            for (const QString& name : dir.entryList(QDir::Files, QDir::Name)) {
                QFile f(dir.filePath(name));
                if (!f.open(QIODevice::ReadOnly))
                    continue;
                const QByteArray bytes = f.readAll();
                corpus.emplace_back(bytes.begin(), bytes.end());
            }
        }
    }
    if (corpus.empty()) {
        std::fprintf(stderr, "no corpus files\n");
        return 2;
    }
    for (const Bytes& b : corpus)
        run(b);
    run(Bytes{});

    std::mt19937 rng(20261205);
    QElapsedTimer clock;
    clock.start();
    long done = 0;
    for (; done < mutations; ++done) {
        if (done % 256 == 0 && clock.elapsed() > seconds * 1000)
            break;
        run(mutate(corpus[size_t(done) % corpus.size()], corpus, rng));
    }
    std::printf("%zu corpus files, %ld mutations in %.1f s\n", corpus.size(), done, clock.elapsed() / 1000.0);
    return 0;
}
