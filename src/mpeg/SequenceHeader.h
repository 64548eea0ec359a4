#pragma once
// The MPEG-1 video sequence header (ISO/IEC 11172-2): start code 00 00 01 B3, then
// 12 bits width, 12 bits height, 4 bits pixel aspect ratio code, 4 bits frame rate code.
#include <QLocale>
#include <QString>
#include <array>

namespace kt {

using HeaderBytes = std::array<unsigned char, 4>; // the four bytes after the start code

struct SequenceHeader
{
    int width = 0;
    int height = 0;
    int aspectCode = 0;
    int frameRateCode = 0;
};

SequenceHeader decodeSequenceHeader(const HeaderBytes& bytes);

// 1 23.976, 2 24, 3 25, 4 29.97, 5 30, 6 50, 7 59.94, 8 60; any other code is its own number.
double frameRateValue(int frameRateCode);
// Shortest decimal form with the locale's decimal separator: "23,976" in German, "24".
QString frameRateText(int frameRateCode, const QLocale& locale = QLocale());
// "352,240,29.97": compared between the files of one pack.
QString parameterText(const SequenceHeader& header, const QLocale& locale = QLocale());
// "352 x 240"
QString videoSizeText(const SequenceHeader& header);

} // namespace kt
