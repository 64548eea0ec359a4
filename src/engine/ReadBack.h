#pragma once
// The output read back from its storage and compared with what it must hold, before any
// source goes to the trash.
//
// Storage can acknowledge writes it does not keep (fake-capacity memory sticks, some network
// shares): neither the write counts nor the file's size show it, and a read served from the
// page cache would only return what was written. So the cached pages of each piece are dropped
// before it is read (the file was flushed, so they are clean) and it is read with O_DIRECT
// where the file system takes it. Both are needed: on FUSE (Linux 6.18) an O_DIRECT read was
// served from the cached pages, while a block file system's O_DIRECT read goes to the device
// even when a page could not be dropped (mapped by another program).
#include "engine/ExpectedOutput.h"
#include "engine/JoinStep.h"
#include "engine/SameFile.h"

#include <QString>
#include <functional>

namespace kt {

class ReadBack
{
public:
    // Bytes compared at a time (twice this much memory).
    static constexpr qint64 kPiece = 4 * 1024 * 1024;

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
