#include "DiskSpace.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

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
    const QStorageInfo volume = volumeOf(outputPath);
    if (!volume.isValid() || !volume.isReady())
        return 0;
    const qint64 available = volume.bytesAvailable();
    return available > 0 ? quint64(available) : 0;
}

} // namespace kt
