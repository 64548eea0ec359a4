#pragma once
// Whether two paths name one file.
//
// The join deletes an existing output before it reads the sources, so an output that is
// a source under another name must be caught: equal texts, then device and inode (which
// see through symbolic links, hard links, bind mounts, "..", relative forms), then, for
// file systems that fold case, two names in one folder that differ only in case where
// the folder's listing lacks one of them.
#include <QString>
#include <sys/types.h>

namespace kt {

// The file a path or a descriptor names: what the join compares before and after a pack.
struct FileIdentity
{
    dev_t device = 0;
    ino_t inode = 0;
    qint64 size = -1;
    nlink_t links = 0;
    bool exists = false;
    bool regular = false; // a device written to has no size to check

    bool sameFile(const FileIdentity& o) const
    {
        return exists && o.exists && device == o.device && inode == o.inode;
    }
};

FileIdentity identityOfPath(const QString& path); // follows symbolic links
FileIdentity identityOfHandle(int fd);

bool isSameFile(const QString& a, const QString& b);

} // namespace kt
