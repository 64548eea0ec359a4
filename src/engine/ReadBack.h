#pragma once
// The output read back from its storage and compared with what it must hold, before any
// source goes to the trash.
//
// Storage can acknowledge writes it does not keep (fake-capacity memory sticks, some network
// shares): neither the write counts nor the file's size show it, and a read served from the
// page cache would only return what was written. So the output's cached pages are dropped
// first (it was flushed, so they are clean) and it is read in order, read-ahead included, from
// the storage. When a page stays in the cache (mapped or locked by another program) the
// output is read with O_DIRECT instead, each piece's pages dropped first: a block file
// system's O_DIRECT read goes to the device, but on FUSE (Linux 6.18) it was served from
// cached pages, and only dropping them reached the storage. Read-ahead makes the first way
// about as fast as a plain read, the second one two to three times slower (bench/readback).
#include "engine/ExpectedOutput.h"
#include "engine/JoinStep.h"
#include "engine/SameFile.h"

#include <QString>
#include <functional>

namespace kt {

class ReadBack
{
public:
    // Bytes compared at a time (twice this much memory): small enough to stay in the
    // processor's cache between the read and the comparison.
    static constexpr qint64 kPiece = 1024 * 1024;

    // `written`: the output as it was written and flushed.
    ReadBack(const QString& outputPath, const FileIdentity& written);

    // Compares the whole output with `expected`. After each piece `goOn(checked)` is asked,
    // with the bytes found good so far; false stops the pass (JoinStep::stopped). A difference,
    // an output that ends early or goes on, or a failed read ends it with a message naming
    // the output.
    JoinStep run(ExpectedOutput& expected, const std::function<bool(quint64)>& goOn);

private:
    QString m_path;
    FileIdentity m_written;
};

} // namespace kt
