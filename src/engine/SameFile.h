#pragma once
// Whether two paths name one file.
//
// The join deletes an existing output before it reads the sources, so an output that is
// a source under another name must be caught: equal texts, then device and inode (which
// see through symbolic links, hard links, bind mounts, "..", relative forms), then, for
// file systems that fold case, two names in one folder that differ only in case where
// the folder's listing lacks one of them.
#include <QString>

namespace kt {

bool isSameFile(const QString& a, const QString& b);

} // namespace kt
