// Runs a fuzz target without libFuzzer over the empty input and its corpus: the inputs
// libFuzzer kept for the paths they reach (build-libfuzzer.sh grows it). Built with the
// sanitizers, a fault aborts the run.
//   replay CORPUS_DIR
#include <QDir>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char* argv[])
{
    const QDir dir(QString::fromLocal8Bit(argc == 2 ? argv[1] : ""));
    const QStringList names = dir.entryList(QDir::Files, QDir::Name);
    if (argc != 2 || names.isEmpty()) {
        std::fprintf(stderr, "usage: replay CORPUS_DIR, a folder with files in it\n");
        return 2;
    }
    LLVMFuzzerTestOneInput(nullptr, 0);
    for (const QString& name : names) {
        QFile f(dir.filePath(name));
        if (!f.open(QIODevice::ReadOnly))
            return 2;
        const QByteArray bytes = f.readAll();
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()));
    }
    std::printf("%lld corpus files\n", qlonglong(names.size()));
    return 0;
}
