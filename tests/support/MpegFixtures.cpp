#include "MpegFixtures.h"

#include <QFile>
#include <QRandomGenerator>

namespace kt::test {
namespace {

bool isCodeAt(const QByteArray& b, qsizetype i) // i is the 00 of a code, wrapping around
{
    const qsizetype n = b.size();
    return b[i % n] == 0 && b[(i + 1) % n] == 0 && b[(i + 2) % n] == 1 && uchar(b[(i + 3) % n]) == 0xB3;
}

} // namespace

QByteArray sequenceHeaderBytes(int width, int height, int frameRateCode, int aspectCode)
{
    QByteArray b("\x00\x00\x01\xB3", 4);
    b.append(char(width >> 4));
    b.append(char(((width & 0x0F) << 4) | ((height >> 8) & 0x0F)));
    b.append(char(height & 0xFF));
    b.append(char(((aspectCode & 0x0F) << 4) | (frameRateCode & 0x0F)));
    return b;
}

QByteArray fillerBytes(qint64 size, quint32 seed)
{
    QByteArray b(size, Qt::Uninitialized);
    QRandomGenerator gen(seed);
    for (qint64 i = 0; i < size; ++i)
        b[i] = char(gen.generate() & 0xFF);
    // Plant a few near misses so that the scan has to look closely.
    for (qint64 i = 97; i + 4 < size; i += 4099)
        b.replace(i, 4, QByteArray("\x00\x00\x01\xB4", 4));
    for (qint64 i = 0; i < size; ++i) {
        if (isCodeAt(b, i))
            b[(i + 3) % size] = char(0xB4);
    }
    return b;
}

bool writeFileWith(const QString& path, qint64 size, qint64 offset, const QByteArray& insert, quint32 seed)
{
    QByteArray data = fillerBytes(size, seed);
    if (offset >= 0 && offset < size)
        data.replace(offset, qMin<qint64>(insert.size(), size - offset), insert.left(size - offset));
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(data) == size;
}

bool writeMpegLikeFile(const QString& path, qint64 size, qint64 headerOffset, int width, int height,
                       int frameRateCode)
{
    return writeFileWith(path, size, headerOffset, sequenceHeaderBytes(width, height, frameRateCode));
}

bool writeSparseFileWith(const QString& path, qint64 size, qint64 offset, const QByteArray& insert)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || !f.resize(size))
        return false;
    if (offset >= 0 && !insert.isEmpty())
        return f.seek(offset) && f.write(insert) == insert.size();
    return true;
}

} // namespace kt::test
