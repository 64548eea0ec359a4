#pragma once
// CProgBar32: a progress bar made at run time as a child of another window, without a
// design-time control. The bar is a QProgressBar with the range 0 to 100, so positions
// are percentages.
//
// Two ways to name the parent:
//  - form mode: Parent(form). Create's missing arguments take defaults (left 0, top 0,
//    the form's width, height 20); with no form, Create makes nothing and returns false.
//  - handle mode: SethWndParent(widget or window id). It wins over the form; left, top,
//    width and height must all be given.
//
// SetProgBarPos moves the bar and then lets pending events through once, which paints the
// move; DelayProgBar lets events through before and after its wait. That is how a long loop on the
// user-interface thread keeps a Cancel button live and its window painted, and it means any event handler may
// run inside these calls.
//
// The object does not own the bar: the bar lives until DestroyProgBar or until its
// parent is destroyed, whichever comes first.
#include <QColor>
#include <QPointer>
#include <QProgressBar>
#include <QWidget>
#include <optional>

namespace kt {

class CProgBar32
{
public:
    CProgBar32() = default;
    CProgBar32(const CProgBar32&) = delete;
    CProgBar32& operator=(const CProgBar32&) = delete;

    // Colours of the bar that exists now; without a bar they do nothing.
    void SetBackColor(const QColor& colour);
    void SetBarColor(const QColor& colour);

    // Takes effect at the next Create only.
    void SetProgVert(bool vertical) { m_vertical = vertical; }
    bool progVert() const { return m_vertical; }

    // Pixels relative to the parent's client area. True when a bar exists afterwards.
    // A second Create makes a new bar and forgets the old one: destroy it first.
    bool Create(std::optional<int> left = std::nullopt, std::optional<int> top = std::nullopt,
                std::optional<int> width = std::nullopt, std::optional<int> height = std::nullopt,
                bool smooth = false);

    QWidget* Parent() const { return m_parentForm; }
    void Parent(QWidget* form) { m_parentForm = form; }

    QWidget* SethWndParent() const { return m_parentHandle; }
    void SethWndParent(QWidget* parent) { m_parentHandle = parent; }
    // A window id that belongs to none of this program's widgets leaves no parent.
    void SethWndParent(WId parent);

    // The bar, or null before Create and once it is destroyed (by DestroyProgBar or with
    // its parent).
    QProgressBar* ProgBarHwnd() const { return m_bar; }

    // Destroys the bar at once; safe to call again or without a bar.
    void DestroyProgBar();
    void ClearProgBar();
    // Positions outside 0 to 100 are clamped, as the native control does.
    void SetProgBarPos(int position);
    // The move alone, without letting events through: drawn by the next pass.
    void MoveProgBar(int position);
    void DelayProgBar(int milliseconds);

private:
    bool m_vertical = false;
    QPointer<QWidget> m_parentForm;
    QPointer<QWidget> m_parentHandle;
    QPointer<QProgressBar> m_bar;
};

} // namespace kt
