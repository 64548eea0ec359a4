#pragma once
// Icon files for the tests: header, directory, then per image a 40-byte bitmap header, the
// palette, colour rows and mask rows bottom-up. Rows are padded to 4 bytes with 0xA5, so a
// reader that does not skip the padding reads wrong pixels.
#include <QByteArray>
#include <QVector>
#include <QtEndian>
#include <functional>

namespace kt::test {

struct IconSpec
{
    int width = 32; // entry fields
    int height = 32;
    int bitCount = 32;
    QVector<quint32> palette{0x000000, 0xFFFFFF}; // 0xRRGGBB
    std::function<quint32(int x, int y)> pixel = [](int x, int y) { return quint32((x + y) & 1); };
    std::function<int(int x, int y)> mask = [](int, int) { return 0; }; // 1 = transparent
};

inline void put(QByteArray& out, quint32 v, int bytes)
{
    const quint32 le = qToLittleEndian(v);
    out.append(reinterpret_cast<const char*>(&le), bytes);
}

inline int paletteFor(int bits)
{
    return bits <= 8 ? (bits == 0 ? 256 : 1 << bits) : 0;
}

// w values of `bits` each (1, 2, 4, 8: packed high bits first; 24, 32: little-endian), padded.
inline QByteArray packRow(int w, int bits, const std::function<quint32(int)>& value)
{
    QByteArray row((w * bits + 7) / 8, '\0');
    for (int x = 0; x < w; ++x) {
        const int at = x * bits / 8;
        for (int i = 0; bits >= 24 && i < bits / 8; ++i)
            row[at + i] = char(value(x) >> (8 * i));
        if (bits < 24)
            row[at] = char(row[at] | ((value(x) & ((1u << bits) - 1)) << (8 - bits - x * bits % 8)));
    }
    while (row.size() % 4)
        row.append(char(0xA5));
    return row;
}

inline QByteArray imageData(const IconSpec& s)
{
    QByteArray out;
    for (quint32 v : {40, s.width, s.height * 2})
        put(out, v, 4);
    put(out, 1, 2);
    put(out, quint32(s.bitCount), 2);
    out.append(24, '\0');
    for (int i = 0; i < paletteFor(s.bitCount); ++i)
        put(out, s.palette.value(i), 4);
    for (int y = s.height - 1; y >= 0; --y)
        out += packRow(s.width, s.bitCount, [&](int x) { return s.pixel(x, y); });
    for (int y = s.height - 1; y >= 0; --y)
        out += packRow(s.width, 1, [&](int x) { return quint32(s.mask(x, y)); });
    return out;
}

inline QByteArray buildIcon(const QVector<IconSpec>& images)
{
    QByteArray header;
    for (quint32 v : {0, 1, int(images.size())})
        put(header, v, 2);
    QByteArray body;
    for (const IconSpec& s : images) {
        const QByteArray data = imageData(s);
        header.append(char(s.width)).append(char(s.height)).append(2, '\0');
        put(header, 1, 2);
        put(header, quint32(s.bitCount), 2);
        put(header, quint32(data.size()), 4);
        put(header, quint32(6 + 16 * images.size() + body.size()), 4);
        body += data;
    }
    return header + body;
}

} // namespace kt::test
