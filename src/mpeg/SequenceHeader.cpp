#include "SequenceHeader.h"

namespace kt {

SequenceHeader decodeSequenceHeader(const HeaderBytes& b)
{
    // 32 bits, most significant first: 12 width, 12 height, 4 aspect, 4 frame rate.
    SequenceHeader h;
    h.width = (int(b[0]) << 4) | (int(b[1]) >> 4);
    h.height = ((int(b[1]) & 0x0F) << 8) | int(b[2]);
    h.aspectCode = int(b[3]) >> 4;
    h.frameRateCode = int(b[3]) & 0x0F;
    return h;
}

double frameRateValue(int frameRateCode)
{
    switch (frameRateCode) {
    case 1:
        return 23.976;
    case 2:
        return 24;
    case 3:
        return 25;
    case 4:
        return 29.97;
    case 5:
        return 30;
    case 6:
        return 50;
    case 7:
        return 59.94;
    case 8:
        return 60;
    default:
        return frameRateCode; // forbidden and reserved codes stand for themselves
    }
}

QString frameRateText(int frameRateCode, const QLocale& locale)
{
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    return plain.toString(frameRateValue(frameRateCode), 'g', QLocale::FloatingPointShortest);
}

QString parameterText(const SequenceHeader& header, const QLocale& locale)
{
    return QStringLiteral("%1,%2,%3")
        .arg(header.width)
        .arg(header.height)
        .arg(frameRateText(header.frameRateCode, locale));
}

QString videoSizeText(const SequenceHeader& header)
{
    return QStringLiteral("%1 x %2").arg(header.width).arg(header.height);
}

} // namespace kt
