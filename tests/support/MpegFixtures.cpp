#include "MpegFixtures.h"

#include "TestFiles.h"

#include <QFile>
#include <QRandomGenerator>

namespace kt::test {

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
        b[i] = char(gen.generate());
    // Plant a few near misses so that the scan has to look closely.
    for (qint64 i = 97; i + 4 < size; i += 4099)
        b.replace(i, 4, QByteArray("\x00\x00\x01\xB4", 4));
    // Break every code, including one across the seam; a B4 cannot make a new one.
    const QByteArray code("\x00\x00\x01\xB3", 4), wrapped = b + b.left(3);
    for (qsizetype i = wrapped.indexOf(code); i >= 0; i = wrapped.indexOf(code, i + 1))
        b[(i + 3) % size] = char(0xB4);
    return b;
}

bool writeFileWith(const QString& path, qint64 size, qint64 offset, const QByteArray& insert, quint32 seed)
{
    QByteArray data = fillerBytes(size, seed);
    if (offset >= 0 && offset < size)
        data.replace(offset, qMin<qint64>(insert.size(), size - offset), insert.left(size - offset));
    return writeFile(path, data);
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
