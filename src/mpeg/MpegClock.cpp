#include "MpegClock.h"

namespace kt {

bool timestampMarkersOk(const uchar* p)
{
    return (p[0] & 1) && (p[2] & 1) && (p[4] & 1);
}

quint64 readTimestamp(const uchar* p)
{
    return quint64((p[0] >> 1) & 7) << 30 | quint64(p[1]) << 22 | quint64(p[2] >> 1) << 15 |
           quint64(p[3]) << 7 | quint64(p[4] >> 1);
}

void writeTimestamp(uchar* p, quint64 v)
{
    p[0] = uchar((p[0] & 0xF1) | ((v >> 29) & 0x0E));
    p[1] = uchar(v >> 22);
    p[2] = uchar((p[2] & 0x01) | ((v >> 14) & 0xFE));
    p[3] = uchar(v >> 7);
    p[4] = uchar((p[4] & 0x01) | ((v << 1) & 0xFE));
}

bool scr2MarkersOk(const uchar* p)
{
    return (p[0] & 0x04) && (p[2] & 0x04) && (p[4] & 0x04) && (p[5] & 0x01);
}

quint64 readScr2Base(const uchar* p)
{
    return quint64((p[0] >> 3) & 7) << 30 | quint64(p[0] & 3) << 28 | quint64(p[1]) << 20 |
           quint64(p[2] >> 3) << 15 | quint64(p[2] & 3) << 13 | quint64(p[3]) << 5 | quint64(p[4] >> 3);
}

int readScr2Extension(const uchar* p)
{
    return (p[4] & 3) << 7 | p[5] >> 1;
}

void writeScr2(uchar* p, quint64 b, int e)
{
    p[0] = uchar((p[0] & 0xC4) | ((b >> 27) & 0x38) | ((b >> 28) & 0x03));
    p[1] = uchar(b >> 20);
    p[2] = uchar((p[2] & 0x04) | ((b >> 12) & 0xF8) | ((b >> 13) & 0x03));
    p[3] = uchar(b >> 5);
    p[4] = uchar((p[4] & 0x04) | ((b << 3) & 0xF8) | ((e >> 7) & 0x03));
    p[5] = uchar((p[5] & 0x01) | ((e << 1) & 0xFE));
}

} // namespace kt
