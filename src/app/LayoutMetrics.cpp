#include "LayoutMetrics.h"

namespace kt {

bool isWindowsXP(const OsVersionInfo& v) { return v.platformId == kPlatformNT && v.major == 5 && v.minor == 1; }

SystemLayout layoutFor(const OsVersionInfo& v, const ThemeValues& theme)
{
    SystemLayout out;
    LayoutMetrics& m = out.metrics;
    if (v.platformId != kPlatformNT) {
        m.widthAdjust = 100;
        m.heightAdjust = -50;
        return out;
    }
    if (!isWindowsXP(v)) {
        m.widthAdjust = 100;
        m.heightAdjust = -140;
        return out;
    }
    out.isWindowsXP = true;
    if (theme.themeActive != QLatin1String("1")) {
        if (theme.current == QLatin1String("Windows Standard")) {
            m.heightAdjust = -50;
        } else if (theme.current == QLatin1String("Windows Standard (large)")) {
            m.widthAdjust = 850;
            m.sortGapAdjust = 10;
        } else if (theme.current == QLatin1String("Windows Standard (extra large)")) {
            m.widthAdjust = 2250;
            m.heightAdjust = 90;
        }
        return out;
    }
    m.themeEdge = 10;
    if (theme.sizeName == QLatin1String("NormalSize")) {
        m.buttonLeftAdjust = 40;
        m.buttonTopAdjust = 50;
        m.sortGapAdjust = 10;
    } else if (theme.sizeName == QLatin1String("LargeFonts")) {
        m.widthAdjust = 850;
        m.heightAdjust = 60;
        m.buttonLeftAdjust = -5;
        m.buttonTopAdjust = 50;
    } else if (theme.sizeName == QLatin1String("ExtraLargeFonts")) {
        m.widthAdjust = 2250;
        m.heightAdjust = 200;
        m.buttonLeftAdjust = 40;
        m.buttonTopAdjust = 50;
    }
    return out;
}

double leadingNumber(const QString& text)
{
    // Leading blanks, an optional sign, digits, an optional fraction.
    qsizetype i = 0;
    while (i < text.size() && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')))
        ++i;
    const qsizetype start = i;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        ++i;
    while (i < text.size() && text[i].isDigit() && text[i].unicode() < 128)
        ++i;
    if (i < text.size() && text[i] == QLatin1Char('.')) {
        ++i;
        while (i < text.size() && text[i].unicode() < 128 && text[i].isDigit())
            ++i;
    }
    bool ok = false;
    const double n = text.mid(start, i - start).toDouble(&ok);
    return ok ? n : 0.0;
}

bool normalDpiFrom(const QString& dpiLogicalX, qint32 logPixels)
{
    const QString text = dpiLogicalX.isEmpty() ? QString::number(logPixels) : dpiLogicalX;
    return leadingNumber(text) <= 96;
}

QString programDirFrom(const QString& executableDir)
{
    QString dir = executableDir;
    if (dir.endsWith(QLatin1Char('/')) || dir.endsWith(QLatin1Char('\\')))
        dir.chop(1);
    return dir;
}

} // namespace kt
