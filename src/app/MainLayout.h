#pragma once
// The main window's placement, as a pure function of the window's outer size and the
// layout metrics. Everything is in twips (1/1440 inch); the window converts to pixels
// with its logical DPI (twipsToPixels).
//
// The formulas are written for the outer size of the window, frame, title and menu bar
// included. Here the window manager draws the frame and Qt the menu bar, so the window
// measures its working surface (everything between the menu bar and the status bar)
// and adds a non-client allowance and the design's status-bar height back: the list
// and the buttons then end where the design has them, just above the status bar,
// whatever height the platform gives the status bar and the menu bar.
//
// The height correction of the metrics stands for a system whose title and menu bar
// are that much taller or shorter; the list formula takes it back out. So the allowance
// for the non-client height is the design's 850 twips plus that correction, and the
// list ends the same distance above the status bar on every row of the table.
#include "app/LayoutMetrics.h"
#include "base/Twips.h"

#include <QSize>

namespace kt::layout {

// Design geometry (twips).
inline constexpr int kDesignOuterWidth = 6840;
inline constexpr int kDesignOuterHeight = 6415;
inline constexpr int kNonClientWidth = 120;  // frame, both sides
inline constexpr int kNonClientHeight = 850; // title, menu bar and frame
inline constexpr int kStatusBarHeight = 285;
inline constexpr int kListLeft = 120;
inline constexpr int kListTop = 1440;
inline constexpr int kLabelLeft = 120;
inline constexpr int kLabelTop = 1200;
inline constexpr int kLabelWidth = 690;
inline constexpr int kLabelHeight = 210;
inline constexpr int kSortButtonWidth = 920;
inline constexpr int kSmallButtonWidth = 204;
inline constexpr int kButtonHeight = 204;
inline constexpr int kMoveButtonLeft = 7200;
inline constexpr int kMoveUpTop = 1440;
inline constexpr int kMoveDownTop = 3240;
inline constexpr int kMoveButtonWidth = 255;
inline constexpr int kMoveButtonHeight = 1815;
inline constexpr int kPanel2Width = 600;
inline constexpr int kPanel3Width = 500;

struct Placement
{
    int listWidth = 6495;
    int listHeight = 3615;
    int buttonTop = 5030; // all five buttons below the list
    int invSelLeft = 6410;
    int deselectAllLeft = 6200;
    int selectAllLeft = 5980;
    int sortDesLeft = 5070;
    int sortAscLeft = 4150;
    int panel1Width = 5520;
    bool operator==(const Placement&) const = default;
};

// One resize. A value a control would reject (a negative width or height) is skipped
// and the previous one kept; the later steps still run with what is in force.
Placement place(int outerWidth, int outerHeight, const LayoutMetrics& m,
                const Placement& previous = Placement());

// The load-time size: design size plus the width and height corrections.
QSize loadSize(const LayoutMetrics& m);

using kt::pixelsToTwips;
using kt::twipsToPixels;

// Outer size (twips) of a window whose working surface is `surfacePixels`, and back.
QSize outerFromSurface(QSize surfacePixels, int dpi, const LayoutMetrics& m);
QSize surfaceFromOuter(QSize outerTwips, int dpi, const LayoutMetrics& m);

} // namespace kt::layout
