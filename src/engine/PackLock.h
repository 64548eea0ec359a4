#pragma once
// One writer per output: every pack holds an advisory lock (flock) on its output from before
// anything is written until it is closed, and the kernel drops it when its holder dies. A
// source is read under a shared lock, so no other pack can take it as its output meanwhile.
#include <QString>

namespace kt {

// Takes the output's lock. False when another pack holds the file; a file system without
// locks does not stop a pack.
bool lockOutput(int fd);
// Takes a shared lock on a source for the time it is read. False when a pack writes it.
bool lockSource(int fd);
// Whether a running pack writes the file at `path` as its output.
bool isBeingWritten(const QString& path);

} // namespace kt
