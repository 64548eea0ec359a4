#include "CProgBar32.h"

#include <QCoreApplication>
#include <QProgressBar>
#include <QThread>
#include <algorithm>

namespace kt {

namespace {

constexpr int kDefaultHeight = 20;

void letEventsThrough()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

} // namespace

void CProgBar32::SetBackColor(const QColor& colour)
{
    if (!m_bar)
        return;
    QPalette palette = m_bar->palette();
    palette.setColor(QPalette::Base, colour);   // the groove in most styles
    palette.setColor(QPalette::Window, colour); // the rest of the control
    m_bar->setPalette(palette);
}

void CProgBar32::SetBarColor(const QColor& colour)
{
    if (!m_bar)
        return;
    QPalette palette = m_bar->palette();
    palette.setColor(QPalette::Highlight, colour);
    m_bar->setPalette(palette);
}

void CProgBar32::SethWndParent(WId parent)
{
    m_parentHandle = parent ? QWidget::find(parent) : nullptr;
}

bool CProgBar32::Create(std::optional<int> left, std::optional<int> top, std::optional<int> width,
                        std::optional<int> height, bool smooth)
{
    QWidget* parent = m_parentHandle;
    QRect geometry;
    if (parent) {
        // A bare window handle says nothing about the size wanted.
        if (!left || !top || !width || !height)
            return false;
        geometry = QRect(*left, *top, *width, *height);
    } else {
        parent = m_parentForm;
        if (!parent)
            return false;
        geometry = QRect(left.value_or(0), top.value_or(0), width.value_or(parent->width()),
                         height.value_or(kDefaultHeight));
    }

    auto* bar = new QProgressBar(parent);
    bar->setObjectName(QStringLiteral("CProgBar32"));
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setTextVisible(false); // the native control shows no text
    bar->setOrientation(m_vertical ? Qt::Vertical : Qt::Horizontal);
    bar->setProperty("smooth", smooth);
    bar->setGeometry(geometry);
    bar->show();
    m_bar = bar;
    return !m_bar.isNull();
}

void CProgBar32::DestroyProgBar()
{
    // Deleted at once, not later: the caller may be deep inside a loop that never
    // returns to the event loop before the bar's parent goes away.
    delete m_bar.data();
}

void CProgBar32::ClearProgBar()
{
    if (m_bar) {
        m_bar->setValue(0);
        m_bar->update();
    }
}

void CProgBar32::SetProgBarPos(int position)
{
    // The move first, then one pass: it paints the move together with whatever else changed
    // in the window in one flush to the display, and runs what the user did meanwhile (a
    // Cancel click).
    MoveProgBar(position);
    letEventsThrough();
}

void CProgBar32::MoveProgBar(int position)
{
    if (!m_bar)
        return;
    const int value = std::clamp(position, m_bar->minimum(), m_bar->maximum());
    if (m_bar->value() == value)
        return;
    // QProgressBar repaints at once the steps it judges large enough and leaves the others
    // out, so that it may never show a new position; the native control always redraws.
    // With updates off it does neither, and turning them on marks the whole bar for the
    // next pass.
    m_bar->setUpdatesEnabled(false);
    m_bar->setValue(value);
    m_bar->setUpdatesEnabled(true);
}

void CProgBar32::DelayProgBar(int milliseconds)
{
    letEventsThrough();
    if (milliseconds > 0)
        QThread::msleep(static_cast<unsigned long>(milliseconds));
    letEventsThrough();
}

} // namespace kt
