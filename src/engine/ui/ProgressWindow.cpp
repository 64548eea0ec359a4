#include "ProgressWindow.h"

#include "base/TextUtils.h"
#include "base/Twips.h"
#include "engine/PackTexts.h"
#include "platform/Program.h"

#include <QFont>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace kt {

namespace {

// Design of the window, in twips: x, y, width, height.
constexpr int kInnerWidth = 5895;
constexpr int kInnerHeight = 1710;
constexpr QRect kTimeRemainingRect(1560, 120, 2895, 195);
constexpr QRect kPercentRect(5280, 345, 525, 210);
constexpr QRect kFileRect(240, 675, 5415, 255);
constexpr int kDividerY = 1080, kDividerLeft = 120, kDividerRight = 5760;
constexpr QRect kCancelRect(2520, 1225, 1095, 375);

// The bar, in pixels except for its top, which stands this many twips above the bottom.
constexpr int kBarLeft = 15, kBarWidth = 340, kBarHeight = 15, kBarTwipsAboveBottom = 1400;

} // namespace

QFont ProgressWindow::labelFont()
{
    QFont font;
    // Arial, else one of its metric twins, so the widths in twips mean the same.
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                      QStringLiteral("Nimbus Sans"), QStringLiteral("Helvetica")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    return font;
}

ProgressWindow::ProgressWindow(QWidget* parent, FrameClock* frames)
    : QDialog(parent), m_frames(frames ? frames : new ScreenFrameClock(screen(), this))
{
    connect(m_frames, &FrameClock::nextFrame, this, &ProgressWindow::drawIfFrameDue);
    setObjectName(QStringLiteral("progressfrm"));
    setWindowTitle(programTitle());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(true);

    m_timeRemaining = new QLabel(this);
    m_timeRemaining->setObjectName(QStringLiteral("TimeRemainingLbl"));
    m_percent = new QLabel(this);
    m_percent->setObjectName(QStringLiteral("percentdone_lbl"));
    // Right-aligned so "100%" stays clear of the bar's right end.
    m_percent->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_file = new QLabel(this);
    m_file->setObjectName(QStringLiteral("Statusbar_lbl"));
    for (QLabel* label : {m_timeRemaining, m_percent, m_file}) {
        label->setFont(labelFont());
        label->setTextFormat(Qt::PlainText); // paths may hold '<' and '&'
    }
    // A screen reader reads a label's text as its name; the description says what it is.
    m_timeRemaining->setAccessibleDescription(tr("The time the pack still needs."));
    m_percent->setAccessibleDescription(tr("How much of the pack is done."));
    m_file->setAccessibleDescription(tr("The file being packed or checked."));
    // Shown by the join when it has something to say.
    m_timeRemaining->hide();
    m_percent->hide();

    m_divider = new QFrame(this);
    m_divider->setObjectName(QStringLiteral("Divider_line"));
    m_divider->setFrameShape(QFrame::HLine);
    m_divider->setFrameShadow(QFrame::Sunken);

    m_cancel = new QPushButton(tr("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("CancelButton"));
    m_cancel->setCursor(Qt::ArrowCursor);
    m_cancel->setAutoDefault(false);
    m_cancel->setAccessibleDescription(tr("Stops packing; the part written so far stays."));
    connect(m_cancel, &QPushButton::clicked, this, &ProgressWindow::CancelButton_Click);

    placeControls();
}

double ProgressWindow::dpiX() const
{
    return logicalDpiX();
}

double ProgressWindow::dpiY() const
{
    return logicalDpiY();
}

void ProgressWindow::placeControls()
{
    const double dx = dpiX(), dy = dpiY();
    auto place = [&](QWidget* widget, const QRect& twips) {
        widget->setGeometry(twipsToPixels(twips.x(), dx), twipsToPixels(twips.y(), dy),
                            twipsToPixels(twips.width(), dx), twipsToPixels(twips.height(), dy));
    };
    setFixedSize(twipsToPixels(kInnerWidth, dx), twipsToPixels(kInnerHeight, dy));
    place(m_timeRemaining, kTimeRemainingRect);
    place(m_percent, kPercentRect);
    place(m_file, kFileRect);
    place(m_cancel, kCancelRect);
    // A sunken line two pixels high, centred on its design position.
    const int lineY = twipsToPixels(kDividerY, dy);
    m_divider->setGeometry(twipsToPixels(kDividerLeft, dx), lineY - 1,
                           twipsToPixels(kDividerRight - kDividerLeft, dx), 3);
}

bool ProgressWindow::createProgressBar()
{
    m_bar.Parent(this);
    const int top = int((kInnerHeight - kBarTwipsAboveBottom) * dpiY() / 1440.0);
    if (!m_bar.Create(kBarLeft, top, kBarWidth, kBarHeight, true))
        return false;
    m_bar.ProgBarHwnd()->setAccessibleName(tr("Packing progress"));
    m_bar.ProgBarHwnd()->setAccessibleDescription(tr("The share of all files written, in percent."));
    return true;
}

int ProgressWindow::measureTwips(const QString& text) const
{
    return pixelsToTwips(QFontMetrics(m_file->font()).horizontalAdvance(text), dpiX());
}

QString ProgressWindow::packingText(const QString& path) const
{
    return packingText(path, m_file->font(), dpiX());
}

QString ProgressWindow::shortenedPath(const QString& path, const QFont& font, double dpiX)
{
    const QFontMetrics metrics(font);
    QString shortened;
    FormatDir(path, shortened, kFileTextTwips,
              [&](const QString& text) { return pixelsToTwips(metrics.horizontalAdvance(text), dpiX); });
    return shortened;
}

QString ProgressWindow::packingText(const QString& path, const QFont& font, double dpiX)
{
    return tr("Packing '%1'").arg(shortenedPath(path, font, dpiX));
}

QString ProgressWindow::checkingText(const QString& path, const QFont& font, double dpiX)
{
    return texts::checkingFile(shortenedPath(path, font, dpiX));
}

void ProgressWindow::setBusyCursor(bool busy)
{
    if (busy)
        setCursor(Qt::WaitCursor);
    else
        unsetCursor();
}

void ProgressWindow::beginJoin()
{
    createProgressBar();
    setBusyCursor(true);
    m_timeRemaining->show();
}

void ProgressWindow::showPackingFile(const QString& fullPath)
{
    change(m_next.file, packingText(fullPath));
}

void ProgressWindow::showCheckingFile(const QString& fullPath)
{
    createProgressBar(); // the join's bar was destroyed when the copy ended
    m_next.bar = m_shown.bar = 0;
    change(m_next.file, checkingText(fullPath, m_file->font(), dpiX()));
}

void ProgressWindow::setProgressBarPos(int percent)
{
    change(m_next.bar, percent);
    drawIfFrameDue();
    // The bar is where this frame has it; the pass paints the frame and runs what the user
    // did meanwhile.
    m_bar.SetProgBarPos(m_shown.bar);
}

void ProgressWindow::setPercentText(const QString& text)
{
    change(m_next.percent, text);
}

void ProgressWindow::setTimeRemainingText(const QString& text)
{
    change(m_next.timeRemaining, text);
}

template <typename T> void ProgressWindow::change(T& value, const T& to)
{
    if (value == to)
        return;
    value = to;
    if (!m_pending) {
        m_pending = true;
        m_frames->requestNextFrame();
    }
}

void ProgressWindow::drawIfFrameDue()
{
    if (!m_pending)
        return;
    const qint64 frame = m_frames->frame();
    if (frame == m_drawnFrame) {
        m_frames->requestNextFrame();
        return;
    }
    m_drawnFrame = frame;
    m_pending = false;
    // Only what changed is set, so only that is painted.
    if (m_next.file != m_shown.file)
        m_file->setText(m_next.file);
    if (m_next.percent != m_shown.percent) {
        m_percent->setText(m_next.percent);
        m_percent->setVisible(!m_next.percent.isEmpty());
    }
    if (m_next.timeRemaining != m_shown.timeRemaining) {
        m_timeRemaining->setText(m_next.timeRemaining);
        m_timeRemaining->show();
    }
    m_bar.MoveProgBar(m_next.bar);
    m_shown = m_next;
}

void ProgressWindow::destroyProgressBar()
{
    m_bar.DestroyProgBar();
}

void ProgressWindow::finish()
{
    unsetCursor();
    QDialog::done(QDialog::Accepted);
}

void ProgressWindow::CancelButton_Click()
{
    if (m_cancelClicked)
        return;
    m_cancelClicked = true;
    emit cancelPressed();
}

void ProgressWindow::reject()
{
    CancelButton_Click();
}

void ProgressWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_startAnnounced)
        return;
    m_startAnnounced = true;
    // After the show has been painted, so the window is on screen when the join begins.
    QTimer::singleShot(0, this, [this] {
        repaint();
        emit started();
    });
}

} // namespace kt
