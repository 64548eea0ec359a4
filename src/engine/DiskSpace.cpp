#include "DiskSpace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <linux/magic.h>
#include <sys/vfs.h>

namespace kt {
namespace {

QString nearestExistingFolder(const QString& path)
{
    if (path.isEmpty())
        return {};
    QString folder = QFileInfo(path).absolutePath();
    while (!QFileInfo(folder).isDir()) {
        const QString parent = QFileInfo(folder).absolutePath();
        if (parent == folder)
            return {};
        folder = parent;
    }
    return folder;
}

QStorageInfo volumeOf(const QString& path)
{
    const QString folder = nearestExistingFolder(path);
    return folder.isEmpty() ? QStorageInfo() : QStorageInfo(folder);
}

} // namespace

bool DoesSystemSupportLargeDrives(const QString& path)
{
    const QStorageInfo volume = volumeOf(path);
    return volume.isValid() && volume.isReady() && volume.bytesAvailable() >= 0;
}

quint64 QueryFreeDiskSpace(const QString& outputPath)
{
    if (!DoesSystemSupportLargeDrives(outputPath))
        return 0;
    const qint64 available = volumeOf(outputPath).bytesAvailable();
    return available > 0 ? quint64(available) : 0;
}

bool enoughFreeSpace(quint64 freeSpace, quint64 totalPackSize)
{
    return freeSpace >= totalPackSize;
}

FileSizeLimit largestFileSize(const QString& outputPath)
{
    const QString folder = nearestExistingFolder(outputPath);
    struct statfs fs = {};
    if (folder.isEmpty() || ::statfs(QFile::encodeName(folder).constData(), &fs) != 0)
        return {};
    const QString type = QString::fromLatin1(QStorageInfo(folder).fileSystemType());
    if (fs.f_type == MSDOS_SUPER_MAGIC)
        return {0xFFFFFFFFull, type.isEmpty() ? QStringLiteral("vfat") : type};
    if (type == QLatin1String("fuse.fusefat")) // stops at 2 GiB with EPERM
        return {0x7FFFFFFFull, type};
    return {};
}

} // namespace kt
