#pragma once
// The 90 kHz clocks of MPEG system streams (33 bits) and the fields that carry them.
//
// PTS, DTS and the MPEG-1 SCR take 5 bytes:
//   xxxx t32..30 1 | t29..22 | t21..15 1 | t14..7 | t6..0 1
// The MPEG-2 SCR takes 6 bytes, base and a 9-bit extension (27 MHz / 300):
//   01 b32..30 1 b29..28 | b27..20 | b19..15 1 b14..13 | b12..5 | b4..0 1 e8..7 | e6..0 1
// Writing changes only the value bits: prefixes and marker bits stay as they were.
#include <QtGlobal>

namespace kt {

inline constexpr quint64 kClockWrap = quint64(1) << 33;
inline constexpr quint64 kClockMask = kClockWrap - 1;
inline constexpr qint64 kClockHz = 90000;

// (a + b) and (a - b) on the 33-bit circle.
inline quint64 clockAdd(quint64 a, quint64 b)
{
    return (a + b) & kClockMask;
}
inline quint64 clockSub(quint64 a, quint64 b)
{
    return (a - b) & kClockMask;
}
// a - b read as the shorter way round: negative when a is before b.
inline qint64 clockDiff(quint64 a, quint64 b)
{
    const quint64 d = clockSub(a, b);
    return d >= kClockWrap / 2 ? qint64(d) - qint64(kClockWrap) : qint64(d);
}

// The marker bits of a 5-byte timestamp field are set.
bool timestampMarkersOk(const uchar* p);
quint64 readTimestamp(const uchar* p);
void writeTimestamp(uchar* p, quint64 value);

bool scr2MarkersOk(const uchar* p);
quint64 readScr2Base(const uchar* p);
int readScr2Extension(const uchar* p);
void writeScr2(uchar* p, quint64 base, int extension);

} // namespace kt
