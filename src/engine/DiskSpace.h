#pragma once
// Free space on the volume that will hold the output.
#include <QString>

namespace kt {

// True when the volume holding path (or its nearest existing folder) answers a space query.
bool DoesSystemSupportLargeDrives(const QString& path);

// The bytes this user can still write on the volume of the output's folder (not the
// blocks kept for root), or 0 when that is unknown. A folder that does not exist yet
// counts as its nearest existing parent, where the join will create it.
quint64 QueryFreeDiskSpace(const QString& outputPath);

// Whether a pack of totalPackSize bytes fits in freeSpace: exactly as much is enough.
bool enoughFreeSpace(quint64 freeSpace, quint64 totalPackSize);

// The largest file the output's file system can hold, where it is smaller than any pack is
// likely to reach: FAT (vfat 4 GiB - 1 bytes, and 2 GiB - 1 through fusefat). Free space
// says nothing of it, and such a file system fails the pack half-way.
struct FileSizeLimit
{
    quint64 largest = 0; // 0: no limit known
    QString fileSystem;  // its type, as the mount table names it
};
FileSizeLimit largestFileSize(const QString& outputPath);

} // namespace kt
