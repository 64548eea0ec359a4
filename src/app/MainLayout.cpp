#include "MainLayout.h"

namespace kt::layout {

Placement place(int W, int H, const LayoutMetrics& m, const Placement& previous)
{
    Placement p = previous;
    if (W - 345 >= 0)
        p.listWidth = W - 345;
    if (H - 2800 - m.heightAdjust >= 0)
        p.listHeight = H - 2800 - m.heightAdjust;
    p.buttonTop = kListTop + p.listHeight + 15 - m.buttonTopAdjust;
    p.invSelLeft = W - 430 + m.buttonLeftAdjust - 3 * m.themeEdge;
    p.deselectAllLeft = p.invSelLeft - 210 + m.buttonLeftAdjust;
    p.selectAllLeft = p.deselectAllLeft - 220 + m.buttonLeftAdjust;
    p.sortDesLeft = p.selectAllLeft - 910 + m.buttonLeftAdjust - m.sortGapAdjust;
    p.sortAscLeft = p.sortDesLeft - 920 + m.buttonLeftAdjust - m.sortGapAdjust;
    if (W - 1290 >= 0)
        p.panel1Width = W - 1290;
    return p;
}

QSize loadSize(const LayoutMetrics& m)
{
    return {kDesignOuterWidth + m.widthAdjust, kDesignOuterHeight + m.heightAdjust};
}

QSize outerFromSurface(QSize s, int dpi, const LayoutMetrics& m)
{
    return {pixelsToTwips(s.width(), dpi) + kNonClientWidth,
            pixelsToTwips(s.height(), dpi) + kStatusBarHeight + kNonClientHeight + m.heightAdjust};
}

QSize surfaceFromOuter(QSize o, int dpi, const LayoutMetrics& m)
{
    return {twipsToPixels(o.width() - kNonClientWidth, dpi),
            twipsToPixels(o.height() - kNonClientHeight - m.heightAdjust - kStatusBarHeight, dpi)};
}

} // namespace kt::layout
