#pragma once
// Finds the first sequence header start code (00 00 01 B3) of a file.
//
// The file is read from its start in chunks of 32,768 bytes, each positioned with
// SeekAbsolute and read with GetBytes; a start code split across two chunks is found.
// At most 32,767 chunks are scanned: a file whose first 1,073,709,056 bytes hold no start
// code ends with ChunkLimit, a failure the caller handles.
#include <QtGlobal>

#include "engine/File64.h"
#include "mpeg/SequenceHeader.h"

namespace kt {

inline constexpr qint64 kScanChunkSize = 32'768;
inline constexpr int kScanChunkLimit = 32'767;

enum class ScanOutcome { Found, NotFound, ChunkLimit };

struct ScanResult
{
    ScanOutcome outcome = ScanOutcome::NotFound;
    qint64 codeOffset = -1; // file offset of the 00 of the start code
    HeaderBytes header{};   // the 4 bytes after the code (zero where the file ends first)
};

// Scans the file open as `file`'s current handle, `length` bytes long.
ScanResult scanForSequenceHeader(File64& file, quint64 length);

} // namespace kt
