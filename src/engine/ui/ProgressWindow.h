#pragma once
// The progress window `progressfrm`: the file being packed, the percentage, the time
// remaining, a progress bar made at run time and Cancel.
//
// The window only shows; the join drives it through ProgressView. It announces its first
// show (the join starts there). Cancel, Escape and the close box only raise the flag the
// join reads after each pass, so the window never disappears while a join runs inside
// it; only finish() (closeWindow) closes it.
//
// It draws at most once a display frame, always the latest values: what the join gives
// within a frame already drawn waits for the next one, and is drawn then even when the
// join no longer lets events through (a message box's own loop does).
#include "auxiliary/ui/CProgBar32.h"
#include "engine/PackHost.h"
#include "engine/ui/FrameClock.h"

#include <QDialog>

class QLabel;
class QFrame;
class QPushButton;

namespace kt {

class ProgressWindow : public QDialog, public ProgressView
{
    Q_OBJECT
public:
    // Frames of the window's screen unless `frames` is given (kept, not owned).
    explicit ProgressWindow(QWidget* parent = nullptr, FrameClock* frames = nullptr);

    // Width to which the current file's path is shortened, in twips.
    static constexpr int kFileTextTwips = 4600;

    CProgBar32& progressBar() { return m_bar; }
    // The bar as the join wants it: 15 px from the left, level with the percentage,
    // 340 x 15 px, smooth.
    bool createProgressBar();

    // "Packing '" + the path shortened to kFileTextTwips in Statusbar_lbl's font + "'".
    QString packingText(const QString& path) const;
    // The same for a font and a horizontal resolution: what the status bar shows.
    static QString packingText(const QString& path, const QFont& font, double dpiX);
    // "Checking '" + the path shortened as for packing + "'": the read-back pass.
    static QString checkingText(const QString& path, const QFont& font, double dpiX);
    // Arial 8 pt, or a metric twin of Arial.
    static QFont labelFont();
    // Width of a text in Statusbar_lbl's font, in twips.
    int measureTwips(const QString& text) const;

    // The hourglass over the window (the arrow stays over Cancel).
    void setBusyCursor(bool busy);

    // Closes the window; the only way it closes.
    void finish();

    // ProgressView
    void beginJoin() override;
    void showPackingFile(const QString& fullPath) override;
    void showCheckingFile(const QString& fullPath) override;
    void setProgressBarPos(int percent) override;
    void setPercentText(const QString& text) override;
    void setTimeRemainingText(const QString& text) override;
    bool cancelRequested() const override { return m_cancelClicked; }
    void destroyProgressBar() override;
    void closeWindow() override { finish(); }
    qint64 frameMicroseconds() const override { return m_frames->frameMicroseconds(); }

    double dpiX() const;
    double dpiY() const;

signals:
    // Once, when the window is first shown: the join starts here.
    void started();
    // CancelButton, Escape or the close box, once.
    void cancelPressed();

public slots:
    void CancelButton_Click();
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void placeControls();
    static QString shortenedPath(const QString& path, const QFont& font, double dpiX);
    // A value for the next frame.
    template <typename T> void change(T& value, const T& to);
    // The latest values onto the controls when this frame has not been drawn yet; the
    // next pass paints them.
    void drawIfFrameDue();

    // What the controls show: the percentage's label is hidden while its text is empty.
    struct Values
    {
        QString file, percent, timeRemaining;
        int bar = 0;
    };

    QLabel* m_timeRemaining = nullptr;
    QLabel* m_percent = nullptr;
    QLabel* m_file = nullptr;
    QFrame* m_divider = nullptr;
    QPushButton* m_cancel = nullptr;
    CProgBar32 m_bar;
    FrameClock* m_frames = nullptr;
    Values m_next, m_shown;
    bool m_pending = false;
    qint64 m_drawnFrame = -1;
    bool m_startAnnounced = false;
    bool m_cancelClicked = false;
};

} // namespace kt
