#pragma once
// Builds icon files for the tests, image by image, written the way the format says:
// header, directory, then for each image a 40-byte bitmap header, the palette, the colour
// rows bottom-up and the mask rows bottom-up, every row padded to 4 bytes. Padding bytes
// are 0xA5 so that a reader which does not skip them reads wrong pixels.
#include <QByteArray>
#include <QVector>
#include <QtEndian>
#include <functional>

namespace kt::test {

struct IconSpec
{
    int width = 32; // entry fields (0..255)
    int height = 32;
    int bitCount = 32;
    int colourCountField = 0;
    QVector<quint32> palette;                   // 0xRRGGBB, written as given
    std::function<quint32(int x, int y)> pixel; // palette index, or 0xAARRGGBB
    std::function<int(int x, int y)> mask;      // 1 = transparent
    int rowsWidth = -1;                         // decoded width if it differs from the entry
    // Raw overrides of the directory fields (-1: computed).
    qint64 bytesInResource = -1;
    qint64 imageOffset = -1;
};

inline void le16(QByteArray& out, quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}
inline void le32(QByteArray& out, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

inline QByteArray padRow(QByteArray row)
{
    while (row.size() % 4)
        row.append(char(0xA5));
    return row;
}

inline QByteArray imageData(const IconSpec& s, int paletteSize)
{
    const int w = s.rowsWidth > 0 ? s.rowsWidth : s.width;
    const int h = s.height;
    QByteArray out;
    le32(out, 40);
    le32(out, quint32(w));
    le32(out, quint32(h * 2));
    le16(out, 1);
    le16(out, quint16(s.bitCount));
    for (int i = 0; i < 6; ++i)
        le32(out, 0);
    for (int i = 0; i < paletteSize; ++i) {
        const quint32 c = i < s.palette.size() ? s.palette.at(i) : 0;
        out.append(char(c & 0xFF))
            .append(char((c >> 8) & 0xFF))
            .append(char((c >> 16) & 0xFF))
            .append(char(0));
    }
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row;
        if (paletteSize == 2) {
            row.fill(0, w / 8);
            for (int x = 0; x < w; ++x)
                if (s.pixel(x, y) & 1)
                    row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        } else if (paletteSize == 16) {
            row.fill(0, w / 2);
            for (int x = 0; x < w; ++x)
                row[x / 2] = char(row[x / 2] | ((s.pixel(x, y) & 0x0F) << (x % 2 ? 0 : 4)));
        } else if (paletteSize == 256) {
            for (int x = 0; x < w; ++x)
                row.append(char(s.pixel(x, y) & 0xFF));
        } else {
            for (int x = 0; x < w; ++x) {
                const quint32 c = s.pixel(x, y);
                row.append(char(c & 0xFF)).append(char((c >> 8) & 0xFF)).append(char((c >> 16) & 0xFF));
                if (s.bitCount != 24)
                    row.append(char((c >> 24) & 0xFF));
            }
        }
        out.append(padRow(row));
    }
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(w / 8, '\0');
        for (int x = 0; x < w; ++x)
            if (s.mask && s.mask(x, y))
                row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        out.append(padRow(row));
    }
    return out;
}

// paletteSizes[i]: how many palette entries image i is written with (what the loader
// should derive from its entry), 0 for none.
inline QByteArray buildIcon(const QVector<IconSpec>& images, const QVector<int>& paletteSizes, int type = 1)
{
    QByteArray header;
    le16(header, 0);
    le16(header, quint16(type));
    le16(header, quint16(images.size()));
    QVector<QByteArray> datas;
    for (int i = 0; i < images.size(); ++i)
        datas.append(imageData(images.at(i), paletteSizes.value(i)));
    quint32 offset = quint32(6 + 16 * images.size());
    QByteArray body;
    for (int i = 0; i < images.size(); ++i) {
        const IconSpec& s = images.at(i);
        header.append(char(s.width)).append(char(s.height)).append(char(s.colourCountField)).append(char(0));
        le16(header, 1);
        le16(header, quint16(s.bitCount));
        le32(header, s.bytesInResource >= 0 ? quint32(s.bytesInResource) : quint32(datas.at(i).size()));
        le32(header, s.imageOffset >= 0 ? quint32(s.imageOffset) : offset);
        offset += quint32(datas.at(i).size());
        body.append(datas.at(i));
    }
    return header + body;
}

// A plain image of the given size and depth, for the entry-picking tests.
inline IconSpec simpleSpec(int w, int h, int bits)
{
    IconSpec s;
    s.width = w;
    s.height = h;
    s.bitCount = bits;
    s.palette = {0x000000, 0xFFFFFF};
    s.pixel = [](int x, int y) { return quint32((x + y) & 1); };
    s.mask = [](int, int) { return 0; };
    return s;
}

inline int paletteFor(int bits)
{
    return bits <= 8 ? (bits == 0 ? 256 : 1 << bits) : 0;
}

inline QByteArray buildSimple(const QVector<std::tuple<int, int, int>>& sizes)
{
    QVector<IconSpec> specs;
    QVector<int> palettes;
    for (const auto& [w, h, bits] : sizes) {
        specs.append(simpleSpec(w, h, bits));
        palettes.append(paletteFor(bits));
    }
    return buildIcon(specs, palettes);
}

} // namespace kt::test
