#include "FrameClock.h"

#include <QScreen>

namespace kt {

ScreenFrameClock::ScreenFrameClock(const QScreen* screen, QObject* parent) : FrameClock(parent)
{
    const qreal hertz = screen ? screen->refreshRate() : 0;
    // Rates outside what screens do are not to be believed.
    m_frameMicroseconds = hertz >= 20 && hertz <= 1000 ? qRound64(1e6 / hertz) : 16'667;
    m_elapsed.start();
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (frame() == m_requestedIn) { // woken a little early
            m_timer.start(1);
            return;
        }
        m_requestedIn = -1;
        emit nextFrame();
    });
}

qint64 ScreenFrameClock::frame() const
{
    return m_elapsed.nsecsElapsed() / 1000 / m_frameMicroseconds;
}

void ScreenFrameClock::requestNextFrame()
{
    if (m_timer.isActive())
        return;
    const qint64 now = m_elapsed.nsecsElapsed() / 1000;
    m_requestedIn = now / m_frameMicroseconds;
    const qint64 untilNext = (m_requestedIn + 1) * m_frameMicroseconds - now;
    m_timer.start(int((untilNext + 999) / 1000));
}

} // namespace kt
