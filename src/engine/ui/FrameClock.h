#pragma once
// The display's frames as the progress window counts them: which one is on now, how long
// one lasts, and a signal when the next one has begun, once asked for. The window draws
// at most once a frame; a test drives the frames by hand.
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QScreen;

namespace kt {

class FrameClock : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Counts up by one a frame.
    virtual qint64 frame() const = 0;
    virtual qint64 frameMicroseconds() const = 0;
    // nextFrame() once the frame has changed from the one on now.
    virtual void requestNextFrame() = 0;

signals:
    void nextFrame();
};

// Frames at a screen's refresh rate (60 Hz when it is not known), on the steady clock.
class ScreenFrameClock final : public FrameClock
{
public:
    explicit ScreenFrameClock(const QScreen* screen, QObject* parent = nullptr);

    qint64 frame() const override;
    qint64 frameMicroseconds() const override { return m_frameMicroseconds; }
    void requestNextFrame() override;

private:
    qint64 m_frameMicroseconds;
    QElapsedTimer m_elapsed;
    QTimer m_timer;
    qint64 m_requestedIn = -1; // the frame on when the next was asked for
};

} // namespace kt
