#pragma once
// Finds the first sequence header start code (00 00 01 B3) of a file.
//
// The file is read from its start (positioned with SeekAbsolute) in chunks of 32,768
// bytes into one reused buffer. A start code split across two chunks is found: the last
// three bytes of a chunk are carried in front of the next one. At most 32,767 chunks are
// scanned: a file whose first 1,073,709,056 bytes hold no start code (and none
// straddling that boundary) ends with ChunkLimit, a failure the caller handles. A code
// cut off by the file's end, without its four header bytes, is no header: NotFound.
#include "base/File64.h"
#include "mpeg/SequenceHeader.h"

#include <QString>
#include <QtGlobal>

namespace kt {

inline constexpr qint64 kScanChunkSize = 32'768;
inline constexpr int kScanChunkLimit = 32'767;
// After the first chunk, chunks are read four at a time: one system call per 128 KiB keeps the
// scan near the speed of a plain read. The chunks, the limit and what is found are the same as
// with one read per chunk.
inline constexpr qint64 kScanReadSize = 4 * kScanChunkSize;

enum class ScanOutcome { Found, NotFound, ChunkLimit };

struct ScanResult
{
    ScanOutcome outcome = ScanOutcome::NotFound;
    qint64 codeOffset = -1; // file offset of the 00 of the start code
    HeaderBytes header{};   // the 4 bytes after the code
};

// Scans the file open as `file`'s current handle, `length` bytes long.
ScanResult scanForSequenceHeader(File64& file, quint64 length);

// Index of the first 00 00 01 B3 in data[0, size), or -1.
qsizetype findSequenceHeaderCode(const unsigned char* data, qsizetype size);
// Index of the first start-code prefix 00 00 01 in data[0, size), or -1 (same search).
qsizetype findStartCode(const unsigned char* data, qsizetype size);
// Index of the first 00 00 01 followed by `code` or `orCode`, or -1 (same search, passing
// over the other start codes without stopping).
qsizetype findStartCodeOf(const unsigned char* data, qsizetype size, unsigned char code,
                          unsigned char orCode);

// The widest vector instructions the search uses: by default the widest the processor
// has. Tests and benchmarks lower it to run every variant; the width set (and returned) is
// at most the processor's, so setting Avx512 restores the default.
enum class SearchWidth { Bytes, Sse2, Avx2, Avx512 };
SearchWidth setSearchWidth(SearchWidth wanted);

// Opens an existing file through `file` (read only; a missing file is not created),
// scans it and closes it again. A file that could not be opened scans as NotFound; the
// failure is not shown here: the caller decides (File64::openErrorText).
struct FileScan
{
    File64::OpenResult open;
    ScanResult scan;
    bool opened() const { return open.ok(); }
};
FileScan scanFileForSequenceHeader(File64& file, const QString& path);

} // namespace kt
