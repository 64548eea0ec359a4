// Start-up against a damaged settings store: the restore step and the show-tips read, as the
// main window does them, over a store of MEGABYTES of junk. Prints the time, the peak memory
// of the process and how often the store was written (files put in its place).
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
#include <sys/inotify.h>
#include <sys/resource.h>
#include <unistd.h>

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

    const int watch = inotify_init1(IN_NONBLOCK);
    inotify_add_watch(watch, QFile::encodeName(dir.path() + QStringLiteral("/Vantu")).constData(),
                      IN_MOVED_TO | IN_CREATE);
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
    alignas(inotify_event) char events[4096];
    const ssize_t got = ::read(watch, events, sizeof events);
    int writes = 0;
    for (ssize_t at = 0; at < got;
         at += sizeof(inotify_event) + reinterpret_cast<inotify_event*>(events + at)->len)
        writes += QByteArray(reinterpret_cast<inotify_event*>(events + at)->name) == "KlivaTARN.conf";
    std::printf(
        "store of %lld MB junk: first read %lld ms; with the restore step %lld ms; peak memory %ld MB "
        "(before %ld MB); store written %d times, afterwards %lld bytes\n",
        megabytes, firstRead, ms, after.ru_maxrss / 1024, before.ru_maxrss / 1024, writes,
        QFileInfo(dir.path() + QStringLiteral("/Vantu/KlivaTARN.conf")).size());
    return showTod.isEmpty() ? 0 : 2;
}
