#pragma once
// Files that look like MPEG video to the sequence-header scan, built inside the tests.
#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace kt::test {

// 00 00 01 B3 followed by the 12-bit width, 12-bit height, 4-bit aspect code and
// 4-bit frame rate code (8 bytes).
QByteArray sequenceHeaderBytes(int width, int height, int frameRateCode, int aspectCode = 1);

// `size` pseudo-random bytes (the same for the same seed) holding no 00 00 01 B3, not
// even across the seam when the block is repeated back to back. Zeros and 00 00 01
// prefixes do occur, as in real data.
QByteArray fillerBytes(qint64 size, quint32 seed = 1);

// Writes `size` filler bytes with `insert` placed at `offset` (cut off where the file
// ends). Returns false when the file could not be written.
bool writeFileWith(const QString& path, qint64 size, qint64 offset, const QByteArray& insert,
                   quint32 seed = 1);

bool writeMpegLikeFile(const QString& path, qint64 size, qint64 headerOffset, int width, int height,
                       int frameRateCode);

bool writeSparseFileWith(const QString& path, qint64 size, qint64 offset = -1, const QByteArray& insert = {});

} // namespace kt::test
