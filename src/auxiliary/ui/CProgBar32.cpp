#include "CProgBar32.h"

#include <QCoreApplication>
#include <QEvent>
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

// Remembers the value a bar showed when it was last painted. Owned by the bar.
class CProgBar32::PaintWatch : public QObject
{
public:
    explicit PaintWatch(QProgressBar* bar) : QObject(bar) { bar->installEventFilter(this); }
    int paintedValue = -1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            paintedValue = static_cast<QProgressBar*>(watched)->value();
        return false;
    }
};

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
    m_paintWatch = new PaintWatch(bar);
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
    if (m_bar) {
        const int value = std::clamp(position, m_bar->minimum(), m_bar->maximum());
        if (m_bar->value() != value) {
            // QProgressBar repaints at once when it judges a step large enough to show and
            // leaves the others out, so that it may never show the new position at all. The
            // native control always redraws: force the paint it left out, and only that one.
            m_bar->setValue(value);
            if (m_paintWatch && m_paintWatch->paintedValue != value)
                m_bar->update();
        }
    }
    // One pass does both jobs: it draws the new position (and whatever else changed since
    // the last call) and runs what the user did meanwhile, such as a Cancel click. A pass
    // before the move as well would double the cost of a loop that calls this per block.
    letEventsThrough();
}

void CProgBar32::DelayProgBar(int milliseconds)
{
    letEventsThrough();
    if (milliseconds > 0)
        QThread::msleep(static_cast<unsigned long>(milliseconds));
    letEventsThrough();
}

} // namespace kt
