// Start-up against a damaged settings store: the restore step and the show-tips read, as the
// main window does them, over a store of MEGABYTES of junk. Prints the time and the peak
// memory of the process.
//
//   build/bin/bench_settings [MEGABYTES]      (default 50)
#include "settings/OptionState.h"
#include "settings/Registry.h"
#include "settings/SettingsTable.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const qint64 megabytes = argc > 1 ? QByteArray(argv[1]).toLongLong() : 50;
    QTemporaryDir dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    QDir(dir.path()).mkpath(QStringLiteral("Vantu"));
    {
        // Bytes of every value, lines of every length: what a damaged disk or a wrong copy leaves.
        QFile junk(dir.path() + QStringLiteral("/Vantu/KlivaTARN.conf"));
        if (!junk.open(QIODevice::WriteOnly))
            return 1;
        QByteArray block(1 << 20, Qt::Uninitialized);
        quint32 x = 2463534242u;
        for (qint64 m = 0; m < megabytes; ++m) {
            for (char& c : block) {
                x ^= x << 13;
                x ^= x >> 17;
                x ^= x << 5;
                c = char(x >> 24);
            }
            junk.write(block);
        }
    }

    rusage before{};
    ::getrusage(RUSAGE_SELF, &before);
    QElapsedTimer timer;
    timer.start();
    const QString showTod =
        kt::ReadRegString(kt::HKEY_CURRENT_USER, kt::appKeyPath(), kt::settingsKey::showTod());
    const qint64 firstRead = timer.elapsed();
    kt::OptionState options;
    options.restore();
    const qint64 ms = timer.elapsed();
    rusage after{};
    ::getrusage(RUSAGE_SELF, &after);
    std::printf(
        "store of %lld MB junk: first read %lld ms; with the restore step %lld ms; peak memory %ld MB "
        "(before %ld MB); store afterwards %lld bytes\n",
        megabytes, firstRead, ms, after.ru_maxrss / 1024, before.ru_maxrss / 1024,
        QFileInfo(dir.path() + QStringLiteral("/Vantu/KlivaTARN.conf")).size());
    return showTod.isEmpty() ? 0 : 2;
}
