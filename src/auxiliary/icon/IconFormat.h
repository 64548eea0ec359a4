#pragma once
// Decoding of the Windows icon files (ICO format under the .ir extension) that ship
// beside the executable.
//
// Layout (little-endian): a 6-byte header (reserved, type = 1, image count), then one
// 16-byte directory entry per image (width, height, colour count, reserved, planes,
// bit count, bytes in resource, image offset). At the image offset: a 40-byte bitmap
// header that is skipped, the palette (4 bytes per colour: blue, green, red, unused),
// the colour bitmap and the 1-bit mask, both bottom-up with rows padded to 4 bytes.
// Width, height and bit count come from the directory entry, never from the bitmap
// header.
//
// Everything here works on a ByteSource and checks every range before it reads, so a
// truncated or hostile file ends in a failure value, never in a read outside the data.
// Pixels are plain buffers (0xRRGGBB); the window layer turns them into pictures.
#include <QByteArray>
#include <QByteArrayView>
#include <QVector>
#include <QtGlobal>
#include <optional>

class QString;

namespace kt::icon {

// Random access to the bytes of an icon file.
class ByteSource
{
public:
    virtual ~ByteSource() = default;
    virtual quint64 size() const = 0;
    // Copies `length` bytes at `offset` into `out`; false (and nothing copied) when any
    // of them lies past the end or cannot be read.
    virtual bool read(quint64 offset, quint64 length, char* out) const = 0;
};

// A source over memory the caller keeps alive.
class MemorySource final : public ByteSource
{
public:
    explicit MemorySource(QByteArrayView bytes) : m_bytes(bytes) {}
    quint64 size() const override { return quint64(m_bytes.size()); }
    bool read(quint64 offset, quint64 length, char* out) const override;

private:
    QByteArrayView m_bytes;
};

// A source over an ordinary file, read where asked: an image far into the file costs one
// seek, and a pipe or a device in the file's place is refused without waiting on it.
class FileSource final : public ByteSource
{
public:
    explicit FileSource(const QString& path);
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    bool isOpen() const { return m_fd >= 0; }
    quint64 size() const override;
    bool read(quint64 offset, quint64 length, char* out) const override;

private:
    int m_fd = -1;
};

inline constexpr int kHeaderSize = 6;
inline constexpr int kEntrySize = 16;
inline constexpr int kBitmapHeaderSize = 40;

struct IconDirEntry
{
    quint8 width = 0;
    quint8 height = 0;
    quint8 colourCount = 0;
    quint16 planes = 0;
    quint16 bitCount = 0;
    quint32 bytesInResource = 0;
    quint32 imageOffset = 0;
};

struct IconDirectory
{
    quint16 reserved = 0;
    quint16 type = 0;
    quint16 count = 0;
    QVector<IconDirEntry> entries; // `count` of them
};

// Header and every entry; nullopt when the source is shorter than they need.
std::optional<IconDirectory> readIconDirectory(const ByteSource& source);

// The entry to draw, or -1. 32x32 wins over 16x16; among 32x32 images the first is
// taken unless a later one has 32 bits per pixel.
int PickIconEntry(const ByteSource& source);
int PickIconEntry(const QString& path);

// Palette size of an entry, or -1 for a true-colour image without palette.
int IconColourCount(const IconDirEntry& entry, int bitCount);

// 1 when bit 7 - n of `byte` is set (n = 0 is the leftmost pixel).
inline int GetMaskBit(quint8 byte, int n)
{
    return (byte >> (7 - n)) & 1;
}

struct Rgb
{
    int red = 0;
    int green = 0;
    int blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// 0xRRGGBB, the form the pixel buffers use.
inline quint32 packRgb(int r, int g, int b)
{
    return (quint32(r) << 16) | (quint32(g) << 8) | quint32(b);
}
inline Rgb unpackRgb(quint32 rgb)
{
    return {int((rgb >> 16) & 0xFF), int((rgb >> 8) & 0xFF), int(rgb & 0xFF)};
}

// The decoded image of one entry: the colour of each pixel, its alpha (0 where the file
// gives 0 or has none) and its mask bit (1 = transparent). Row-major from the top row.
struct IconImage
{
    int width = 0;
    int height = 0;
    int bitCount = 0;
    QVector<quint32> colour;
    QVector<quint8> alpha;
    QVector<quint8> mask;
    int at(int x, int y) const { return y * width + x; }
};

// Where the parts of one image lie, worked out from its directory entry alone. Offsets
// count from the end of the 40-byte bitmap header; rows are padded to 4 bytes.
struct ImageLayout
{
    int side = 0;             // width = height, 16 or 32
    int colours = 0;          // palette entries; 0: true colour
    int pixelBytes = 0;       // true colour: 3 (24-bit) or 4 (with alpha)
    quint64 colourStride = 0; // bytes per colour row
    quint64 maskStride = 0;   // bytes per mask row
    quint64 paletteBytes() const { return quint64(colours) * 4; }
    quint64 colourOffset() const { return paletteBytes(); }
    quint64 maskOffset() const { return colourOffset() + colourStride * quint64(side); }
    quint64 size() const { return maskOffset() + maskStride * quint64(side); }
};

// The layout of an entry; nullopt when its size (16 or 32, square) or its palette size
// (2, 16 or 256 when it has one) has no reading rule. The size is at most 4,224 bytes
// (32x32 at 32 bits), so that is all one image ever reads, whatever its entry claims.
std::optional<ImageLayout> imageLayout(const IconDirEntry& entry);

// Decodes entry `index`, read at its image offset, however far into the file; nullopt
// when the header, the index or the layout is wrong, when the entry's byte count is too
// small for the layout, or when a byte it needs is missing.
std::optional<IconImage> ReadIconImage(const ByteSource& source, int index);

struct PixelBuffer
{
    int width = 0;
    int height = 0;
    QVector<quint32> pixels; // 0xRRGGBB, row-major
    bool isNull() const { return width == 0 || height == 0; }
};

// The colour image as drawn and the mask as drawn (white where transparent).
PixelBuffer imageSurface(const IconImage& image);
PixelBuffer maskSurface(const IconImage& image);

// The composite of the icon over `background`: the mask ANDed onto the background, then
// the colour image XORed onto that, as the classic icon raster operations do.
PixelBuffer ComposeIcon(const IconImage& image, quint32 background);

// Every opaque pixel (mask 0) mixed with the background by its alpha in whole percent;
// transparent pixels keep the background.
PixelBuffer BlendAlpha(const IconImage& image, const Rgb& background);

} // namespace kt::icon
