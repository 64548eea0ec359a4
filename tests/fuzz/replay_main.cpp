// Runs a fuzz target without libFuzzer: the corpus, then deterministic mutations of it under a
// time budget. Built with the sanitizers, a fault aborts the run.
//   replay CORPUS_DIR MUTATIONS SECONDS
#include <QDir>
#include <QElapsedTimer>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {
using Bytes = std::vector<uint8_t>;

Bytes mutate(Bytes b, const std::vector<Bytes>& all, std::mt19937& rng)
{
    const auto pick = [&rng](size_t n) { return n ? size_t(rng() % n) : 0; };
    static const uint32_t edges[] = {
        0,      1,      2,      3,       4,          8,           15,          16,         17,  24,
        31,     32,     33,     40,      48,         64,          127,         128,        255, 256,
        0x7FFF, 0x8000, 0xFFFF, 0x10000, 0x7FFFFFFF, 0x80000000u, 0xFFFFFFF0u, 0xFFFFFFFFu};
    for (int steps = 1 + int(rng() % 4); steps > 0; --steps) {
        const size_t at = pick(b.size());
        switch (rng() % 5) {
        case 0: // a bit flipped or a random byte
            if (!b.empty())
                b[at] = rng() % 2 ? uint8_t(b[at] ^ (1u << (rng() % 8))) : uint8_t(rng());
            break;
        case 1: { // a field, most often in the header or directory, set to an edge value
            const uint32_t value = edges[pick(std::size(edges))];
            const size_t field = rng() % 2 ? pick(std::min<size_t>(b.size(), 6 + 16 * 4)) : at;
            for (size_t i = 0, width = rng() % 2 ? 2 : 4; i < width && field + i < b.size(); ++i)
                b[field + i] = uint8_t(value >> (8 * i));
            break;
        }
        case 2: // cut short, or lengthened with one repeated byte
            b.resize(rng() % 2 ? pick(b.size() + 1) : b.size() + 1 + pick(64), uint8_t(rng()));
            break;
        case 3: { // splice in a piece of another input
            const Bytes& other = all[pick(all.size())];
            const size_t from = pick(other.size()), len = std::min(other.size() - from, 1 + pick(64));
            b.insert(b.begin() + ptrdiff_t(at), other.begin() + ptrdiff_t(from),
                     other.begin() + ptrdiff_t(from + len));
            break;
        }
        default: { // a start code planted at a random place
            const uint8_t code[] = {0, 0, 1, 0xB3};
            b.insert(b.begin() + ptrdiff_t(pick(b.size() + 1)), code, code + 4);
        }
        }
    }
    return b;
}
} // namespace

int main(int argc, char* argv[])
{
    std::vector<Bytes> corpus;
    const QDir dir(QString::fromLocal8Bit(argc == 4 ? argv[1] : ""));
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name)) {
        QFile f(dir.filePath(name));
        const QByteArray bytes = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        corpus.emplace_back(bytes.begin(), bytes.end());
    }
    if (argc != 4 || corpus.empty()) {
        std::fprintf(stderr, "usage: replay CORPUS_DIR MUTATIONS SECONDS, with files in CORPUS_DIR\n");
        return 2;
    }
    for (const Bytes& b : corpus)
        LLVMFuzzerTestOneInput(b.data(), b.size());
    LLVMFuzzerTestOneInput(nullptr, 0);
    std::mt19937 rng(20261205);
    QElapsedTimer clock;
    clock.start();
    long done = 0;
    for (; done < std::atol(argv[2]) && (done % 256 || clock.elapsed() < std::atof(argv[3]) * 1000); ++done) {
        const Bytes b = mutate(corpus[size_t(done) % corpus.size()], corpus, rng);
        LLVMFuzzerTestOneInput(b.data(), b.size());
    }
    std::printf("%zu corpus files, %ld mutations in %.1f s\n", corpus.size(), done, clock.elapsed() / 1000.0);
    return 0;
}
