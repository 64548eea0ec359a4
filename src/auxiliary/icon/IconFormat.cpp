#include "IconFormat.h"

#include "base/RegularFile.h"

#include <QString>
#include <QtEndian>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace kt::icon {

bool MemorySource::read(quint64 offset, quint64 length, char* out) const
{
    const quint64 total = size();
    if (offset > total || length > total - offset)
        return false;
    if (length > 0)
        std::memcpy(out, m_bytes.data() + offset, length);
    return true;
}

FileSource::FileSource(const QString& path) : m_fd(openRegularFile(path)) {}

FileSource::~FileSource()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

quint64 FileSource::size() const
{
    struct stat st;
    return m_fd >= 0 && ::fstat(m_fd, &st) == 0 ? quint64(st.st_size) : 0;
}

bool FileSource::read(quint64 offset, quint64 length, char* out) const
{
    const quint64 total = size();
    if (m_fd < 0 || offset > total || length > total - offset)
        return false;
    quint64 done = 0;
    while (done < length) {
        const ssize_t n = ::pread(m_fd, out + done, length - done, off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false; // an error, or the file shrank meanwhile
        done += quint64(n);
    }
    return true;
}

namespace {

// Field offsets within the header and within one directory entry.
enum : int {
    kHdrReserved = 0,
    kHdrType = 2,
    kHdrCount = 4,
    kEntWidth = 0,
    kEntHeight = 1,
    kEntColourCount = 2,
    kEntPlanes = 4,
    kEntBitCount = 6,
    kEntBytesInRes = 8,
    kEntImageOffset = 12,
};

template <typename T> T le(const char* p)
{
    return qFromLittleEndian<T>(p);
}

bool isIconSide(int n)
{
    return n == 16 || n == 32;
}

quint64 paddedRow(quint64 bytes)
{
    return (bytes + 3) & ~quint64(3);
}

} // namespace

std::optional<IconDirectory> readIconDirectory(const ByteSource& source)
{
    char header[kHeaderSize];
    if (!source.read(0, kHeaderSize, header))
        return std::nullopt;
    IconDirectory dir;
    dir.reserved = le<quint16>(header + kHdrReserved);
    dir.type = le<quint16>(header + kHdrType);
    dir.count = le<quint16>(header + kHdrCount);
    const quint64 tableSize = quint64(dir.count) * kEntrySize;
    QByteArray table(qsizetype(tableSize), Qt::Uninitialized);
    if (!source.read(kHeaderSize, tableSize, table.data()))
        return std::nullopt;
    dir.entries.reserve(dir.count);
    for (int i = 0; i < dir.count; ++i) {
        const char* e = table.constData() + qsizetype(i) * kEntrySize;
        IconDirEntry entry;
        entry.width = quint8(e[kEntWidth]);
        entry.height = quint8(e[kEntHeight]);
        entry.colourCount = quint8(e[kEntColourCount]);
        entry.planes = le<quint16>(e + kEntPlanes);
        entry.bitCount = le<quint16>(e + kEntBitCount);
        entry.bytesInResource = le<quint32>(e + kEntBytesInRes);
        entry.imageOffset = le<quint32>(e + kEntImageOffset);
        dir.entries.append(entry);
    }
    return dir;
}

int PickIconEntry(const ByteSource& source)
{
    const auto dir = readIconDirectory(source);
    if (!dir || dir->count < 1 || dir->type != 1)
        return -1;
    const IconDirEntry& first = dir->entries.first();
    if (first.width == 0 || first.height == 0 || first.bytesInResource == 0 || first.imageOffset == 0)
        return -1;
    if (dir->count == 1)
        return isIconSide(first.width) && isIconSide(first.height) ? 0 : -1;

    // A 16x16 image counts as found wherever it stands, index 0 included: a file that
    // holds a usable 16x16 icon beside images of other sizes should not be refused.
    int found = 0;
    int best = 0;
    for (int i = 0; i < dir->count; ++i) {
        const IconDirEntry& e = dir->entries.at(i);
        if (e.width == 16 && e.height == 16) {
            if (found == 0) {
                best = i;
                found = 16;
            }
        } else if (e.width == 32 && e.height == 32) {
            if (found != 32) {
                found = 32;
                best = i;
            } else if (e.bitCount == 32) {
                best = i;
                break;
            }
        }
    }
    return found == 0 ? -1 : best;
}

int PickIconEntry(const QString& path)
{
    FileSource file(path);
    if (!file.isOpen())
        return -1;
    return PickIconEntry(file);
}

int IconColourCount(const IconDirEntry& entry, int bitCount)
{
    int count;
    if (entry.colourCount != 0) {
        count = entry.colourCount;
        if (count != 2 && count != 16)
            count = count > 2 ? 16 : 2;
    } else if (bitCount >= 9) {
        return -1;
    } else if (bitCount >= 1) {
        count = 1 << bitCount;
    } else {
        count = 256;
    }
    return count > 256 ? -1 : count;
}

std::optional<ImageLayout> imageLayout(const IconDirEntry& entry)
{
    if (!isIconSide(entry.width) || entry.width != entry.height)
        return std::nullopt;
    ImageLayout layout;
    layout.side = entry.width;
    layout.colours = qMax(IconColourCount(entry, entry.bitCount), 0);
    const quint64 side = quint64(layout.side);
    quint64 rowBytes;
    switch (layout.colours) {
    case 0:
        layout.pixelBytes = entry.bitCount == 24 ? 3 : 4;
        rowBytes = side * quint64(layout.pixelBytes);
        break;
    case 2:
        rowBytes = side / 8;
        break;
    case 16:
        rowBytes = side / 2;
        break;
    case 256:
        rowBytes = side;
        break;
    default:
        return std::nullopt; // no reading rule for 4- or 8-colour palettes
    }
    layout.colourStride = paddedRow(rowBytes);
    layout.maskStride = paddedRow(side / 8);
    return layout;
}

namespace {

QVector<quint32> decodePalette(const quint8* bytes, int colours)
{
    QVector<quint32> palette;
    palette.reserve(colours);
    for (int i = 0; i < colours; ++i) {
        const quint8* p = bytes + i * 4;
        palette.append(packRgb(p[2], p[1], p[0]));
    }
    return palette;
}

// Colour rows, bottom-up; a palette index cannot exceed the palette, whose size the layout
// matched to the bits per pixel.
void decodeColourRows(const quint8* bytes, const ImageLayout& layout, const QVector<quint32>& palette,
                      IconImage& image)
{
    const int side = layout.side;
    const quint8* row = bytes;
    for (int y = side - 1; y >= 0; --y, row += layout.colourStride) {
        for (int x = 0; x < side; ++x) {
            quint32& out = image.colour[image.at(x, y)];
            switch (layout.colours) {
            case 2:
                out = palette.at(GetMaskBit(row[x / 8], x % 8));
                break;
            case 16:
                out = palette.at(x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 0x0F);
                break;
            case 256:
                out = palette.at(row[x]);
                break;
            default: {
                const quint8* p = row + x * layout.pixelBytes;
                out = packRgb(p[2], p[1], p[0]);
                if (layout.pixelBytes == 4)
                    image.alpha[image.at(x, y)] = p[3];
            }
            }
        }
    }
}

void decodeMaskRows(const quint8* bytes, const ImageLayout& layout, IconImage& image)
{
    const quint8* row = bytes;
    for (int y = layout.side - 1; y >= 0; --y, row += layout.maskStride)
        for (int x = 0; x < layout.side; ++x)
            image.mask[image.at(x, y)] = quint8(GetMaskBit(row[x / 8], x % 8));
}

} // namespace

std::optional<IconImage> ReadIconImage(const ByteSource& source, int index)
{
    const auto dir = readIconDirectory(source);
    if (!dir || dir->count < 1 || dir->type != 1 || index < 0 || index >= dir->count)
        return std::nullopt;
    const IconDirEntry& entry = dir->entries.at(index);
    const auto layout = imageLayout(entry);
    // The image must lie within the bytes its entry gives it.
    if (!layout || kBitmapHeaderSize + layout->size() > entry.bytesInResource)
        return std::nullopt;

    // The image's bytes after its bitmap header, read where the entry says.
    QByteArray data(qsizetype(layout->size()), Qt::Uninitialized);
    if (!source.read(quint64(entry.imageOffset) + kBitmapHeaderSize, layout->size(), data.data()))
        return std::nullopt;
    const auto* bytes = reinterpret_cast<const quint8*>(data.constData());

    IconImage image;
    image.width = layout->side;
    image.height = layout->side;
    image.bitCount = entry.bitCount;
    const int pixels = layout->side * layout->side;
    image.colour.resize(pixels);
    image.alpha.fill(0, pixels);
    image.mask.fill(0, pixels);
    const QVector<quint32> palette = decodePalette(bytes, layout->colours);
    decodeColourRows(bytes + layout->colourOffset(), *layout, palette, image);
    decodeMaskRows(bytes + layout->maskOffset(), *layout, image);
    return image;
}

PixelBuffer imageSurface(const IconImage& image)
{
    return {image.width, image.height, image.colour};
}

PixelBuffer maskSurface(const IconImage& image)
{
    PixelBuffer out{image.width, image.height, {}};
    out.pixels.reserve(image.mask.size());
    for (quint8 m : image.mask)
        out.pixels.append(m ? 0xFFFFFFu : 0u);
    return out;
}

PixelBuffer ComposeIcon(const IconImage& image, quint32 background)
{
    PixelBuffer out{image.width, image.height, {}};
    out.pixels.reserve(image.colour.size());
    for (int i = 0; i < image.colour.size(); ++i) {
        const quint32 maskColour = image.mask.at(i) ? 0xFFFFFFu : 0u;
        out.pixels.append(((background & maskColour) ^ image.colour.at(i)) & 0xFFFFFFu);
    }
    return out;
}

PixelBuffer BlendAlpha(const IconImage& image, const Rgb& background)
{
    const quint32 bg = packRgb(background.red, background.green, background.blue);
    PixelBuffer out{image.width, image.height, QVector<quint32>(image.colour.size(), bg)};
    auto mix = [](int p, int back, int front) { return ((100 - p) * back + p * front) / 100; };
    for (int i = 0; i < image.colour.size(); ++i) {
        if (image.mask.at(i))
            continue;
        const int p = image.alpha.at(i) * 100 / 255;
        const Rgb c = unpackRgb(image.colour.at(i));
        out.pixels[i] = packRgb(mix(p, background.red, c.red), mix(p, background.green, c.green),
                                mix(p, background.blue, c.blue));
    }
    return out;
}

} // namespace kt::icon
