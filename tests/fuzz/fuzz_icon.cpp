// Fuzz target: the icon decoder on arbitrary bytes, held in an exact-size heap buffer (a
// QByteArray's terminator would hide a one-byte over-read). Decoded images must keep the
// decoder's promises.
#include "auxiliary/icon/IconFormat.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>

using namespace kt::icon;

namespace {
void require(bool ok)
{
    if (!ok)
        std::abort();
}

void checkImage(const IconImage& image)
{
    require(image.width == image.height && (image.width == 16 || image.width == 32));
    const int n = image.width * image.height;
    require(image.colour.size() == n && image.alpha.size() == n && image.mask.size() == n);
    const PixelBuffer composite = ComposeIcon(image, 0x336699);
    const PixelBuffer blended = BlendAlpha(image, Rgb{0x33, 0x66, 0x99});
    require(composite.pixels.size() == n && blended.pixels.size() == n);
    for (int i = 0; i < n; ++i)
        require(image.mask.at(i) <= 1 && image.colour.at(i) <= 0xFFFFFFu &&
                blended.pixels.at(i) <= 0xFFFFFFu);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::unique_ptr<char[]> exact(new char[size ? size : 1]);
    std::copy(data, data + size, exact.get());
    const MemorySource source(QByteArrayView(exact.get(), qsizetype(size)));
    const int picked = PickIconEntry(source);
    const auto dir = readIconDirectory(source);
    require(picked < 0 || (dir && picked < dir->count));
    if (!dir)
        return 0;
    // The picker's choice, and entries it would not choose.
    for (const int i : {picked, 0, 1, 2, 3})
        if (const auto image = i >= 0 && i < dir->count ? ReadIconImage(source, i) : std::nullopt)
            checkImage(*image);
    require(!ReadIconImage(source, dir->count).has_value());
    return 0;
}
