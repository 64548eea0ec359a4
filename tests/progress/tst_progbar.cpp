// CProgBar32: both parent modes, defaults, vertical style, positions, events let
// through, colours and destruction.
#include "auxiliary/ui/CProgBar32.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

using kt::CProgBar32;

class ProgBarTest : public QObject
{
    Q_OBJECT
private slots:
    void formModeDefaults();
    void formModeWithoutParentMakesNothing();
    void handleModeByPointerAndById();
    void handleModeNeedsAllFourNumbers();
    void handleModeWinsOverForm();
    void verticalOnlyForLaterBars();
    void positions_data();
    void positions();
    void setPosLetsEventsThroughBeforeAndAfter();
    void setPosSurvivesBarDestroyedByAnEvent();
    void screenFollowsEveryStep();
    void delayLetsEventsThroughAndWaits();
    void colours();
    void destroyTwiceAndWithParent();
};

void ProgBarTest::formModeDefaults()
{
    QWidget form;
    form.resize(393, 114);
    CProgBar32 bar;
    bar.Parent(&form);
    QVERIFY(bar.Create());
    QProgressBar* widget = bar.ProgBarHwnd();
    QVERIFY(widget);
    QCOMPARE(widget->parentWidget(), &form);
    QCOMPARE(widget->geometry(), QRect(0, 0, 393, 20));
    QCOMPARE(widget->orientation(), Qt::Horizontal);
    QCOMPARE(widget->value(), 0);
    QVERIFY(!widget->isHidden());
    QVERIFY(!widget->property("smooth").toBool());

    // Only the missing numbers take defaults.
    CProgBar32 partial;
    partial.Parent(&form);
    QVERIFY(partial.Create(5, std::nullopt, std::nullopt, 9, true));
    QCOMPARE(partial.ProgBarHwnd()->geometry(), QRect(5, 0, 393, 9));
    QVERIFY(partial.ProgBarHwnd()->property("smooth").toBool());
}

void ProgBarTest::formModeWithoutParentMakesNothing()
{
    CProgBar32 bar;
    QVERIFY(!bar.Create());
    QVERIFY(!bar.Create(0, 0, 100, 20));
    QVERIFY(!bar.ProgBarHwnd());
    // Operations without a bar do nothing and do not crash.
    bar.SetProgBarPos(50);
    bar.ClearProgBar();
    bar.SetBarColor(Qt::red);
    bar.SetBackColor(Qt::blue);
    bar.DestroyProgBar();
    QVERIFY(!bar.ProgBarHwnd());

    // A form that has gone away counts as none.
    auto* form = new QWidget;
    bar.Parent(form);
    delete form;
    QVERIFY(!bar.Parent());
    QVERIFY(!bar.Create());
}

void ProgBarTest::handleModeByPointerAndById()
{
    QWidget host;
    host.resize(300, 100);
    CProgBar32 byPointer;
    byPointer.SethWndParent(&host);
    QCOMPARE(byPointer.SethWndParent(), &host);
    QVERIFY(byPointer.Create(10, 20, 200, 15));
    QCOMPARE(byPointer.ProgBarHwnd()->parentWidget(), &host);
    QCOMPARE(byPointer.ProgBarHwnd()->geometry(), QRect(10, 20, 200, 15));

    CProgBar32 byId;
    byId.SethWndParent(host.winId());
    QCOMPARE(byId.SethWndParent(), &host);
    QVERIFY(byId.Create(1, 2, 3, 4));
    QCOMPARE(byId.ProgBarHwnd()->parentWidget(), &host);
    QCOMPARE(byId.ProgBarHwnd()->geometry(), QRect(1, 2, 3, 4));

    // An id that is none of our windows leaves no parent.
    CProgBar32 unknown;
    unknown.SethWndParent(WId(0x7fff1234));
    QVERIFY(!unknown.SethWndParent());
    QVERIFY(!unknown.Create(1, 2, 3, 4));
}

void ProgBarTest::handleModeNeedsAllFourNumbers()
{
    QWidget host;
    CProgBar32 bar;
    bar.SethWndParent(&host);
    QVERIFY(!bar.Create());
    QVERIFY(!bar.Create(1, 2, 3));
    QVERIFY(!bar.ProgBarHwnd());
    QVERIFY(host.findChildren<QProgressBar*>().isEmpty());
}

void ProgBarTest::handleModeWinsOverForm()
{
    QWidget form, host;
    CProgBar32 bar;
    bar.Parent(&form);
    bar.SethWndParent(&host);
    QVERIFY(bar.Create(0, 0, 50, 10));
    QCOMPARE(bar.ProgBarHwnd()->parentWidget(), &host);
    QVERIFY(form.findChildren<QProgressBar*>().isEmpty());
}

void ProgBarTest::verticalOnlyForLaterBars()
{
    QWidget form;
    CProgBar32 bar;
    bar.Parent(&form);
    QVERIFY(bar.Create(0, 0, 20, 100));
    QPointer<QProgressBar> first = bar.ProgBarHwnd();
    bar.SetProgVert(true);
    QCOMPARE(first->orientation(), Qt::Horizontal);
    bar.DestroyProgBar();
    QVERIFY(bar.Create(0, 0, 20, 100));
    QCOMPARE(bar.ProgBarHwnd()->orientation(), Qt::Vertical);
    bar.SetProgVert(false);
    QCOMPARE(bar.ProgBarHwnd()->orientation(), Qt::Vertical);
}

void ProgBarTest::positions_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("shown");
    QTest::newRow("empty") << 0 << 0;
    QTest::newRow("full") << 100 << 100;
    QTest::newRow("middle") << 37 << 37;
    QTest::newRow("above the range") << 150 << 100;
    QTest::newRow("below the range") << -3 << 0;
    QTest::newRow("16-bit maximum") << 32767 << 100;
}

void ProgBarTest::positions()
{
    QFETCH(int, position);
    QFETCH(int, shown);
    QWidget form;
    CProgBar32 bar;
    bar.Parent(&form);
    QVERIFY(bar.Create());
    bar.SetProgBarPos(60); // a start that differs from every expected value but 60
    bar.SetProgBarPos(position);
    QCOMPARE(bar.ProgBarHwnd()->value(), shown);
    bar.ClearProgBar();
    QCOMPARE(bar.ProgBarHwnd()->value(), 0);
}

void ProgBarTest::setPosLetsEventsThroughBeforeAndAfter()
{
    QWidget form;
    CProgBar32 bar;
    bar.Parent(&form);
    QVERIFY(bar.Create());

    // Before: an event already waiting runs first, so the new position overrides what it set.
    int seenBefore = -1;
    QMetaObject::invokeMethod(
        &form,
        [&] {
            seenBefore = bar.ProgBarHwnd()->value();
            bar.ProgBarHwnd()->setValue(90);
        },
        Qt::QueuedConnection);
    // After: an event posted by the move itself is handled before SetProgBarPos returns.
    bool afterHandled = false;
    QObject::connect(bar.ProgBarHwnd(), &QProgressBar::valueChanged, &form, [&](int value) {
        if (value == 7)
            QMetaObject::invokeMethod(
                &form, [&] { afterHandled = true; }, Qt::QueuedConnection);
    });
    bar.SetProgBarPos(7);
    QCOMPARE(seenBefore, 0);
    QCOMPARE(bar.ProgBarHwnd()->value(), 7);
    QVERIFY(afterHandled);
}

void ProgBarTest::setPosSurvivesBarDestroyedByAnEvent()
{
    // As a Cancel click does: the bar's window is closed from inside the position update.
    auto* form = new QWidget;
    CProgBar32 bar;
    bar.Parent(form);
    QVERIFY(bar.Create());
    QMetaObject::invokeMethod(
        form, [form] { delete form; }, Qt::QueuedConnection);
    bar.SetProgBarPos(50);
    QVERIFY(!bar.ProgBarHwnd());
    bar.SetProgBarPos(60);
    bar.DestroyProgBar();
}

// What the bar last painted, seen from its paint events.
class PaintedValue : public QObject
{
public:
    explicit PaintedValue(QProgressBar* bar) : m_bar(bar) { bar->installEventFilter(this); }
    int value = -1;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            value = m_bar->value();
        return false;
    }

private:
    QProgressBar* m_bar;
};

void ProgBarTest::screenFollowsEveryStep()
{
    // One percent at a time, as a long join moves it: the screen must keep up, not only
    // the number (the bar itself skips repaints for steps it thinks too small to see).
    QWidget form;
    form.resize(400, 60);
    CProgBar32 bar;
    bar.Parent(&form);
    QVERIFY(bar.Create(15, 20, 340, 15, true));
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    PaintedValue painted(bar.ProgBarHwnd());
    for (int percent = 1; percent <= 100; ++percent) {
        bar.SetProgBarPos(percent);
        QCOMPARE(painted.value, percent);
    }
}

void ProgBarTest::delayLetsEventsThroughAndWaits()
{
    CProgBar32 bar; // no bar needed
    bool handled = false;
    QObject context;
    QMetaObject::invokeMethod(
        &context, [&] { handled = true; }, Qt::QueuedConnection);
    QElapsedTimer clock;
    clock.start();
    bar.DelayProgBar(40);
    QVERIFY(handled);
    QVERIFY(clock.elapsed() >= 40);
    bar.DelayProgBar(-5); // nothing to wait for
}

void ProgBarTest::colours()
{
    QWidget form;
    form.resize(200, 40);
    CProgBar32 bar;
    bar.Parent(&form);
    bar.SetBarColor(Qt::green); // no bar yet: nothing to colour, and not remembered
    QVERIFY(bar.Create(0, 0, 200, 20));
    QVERIFY(bar.ProgBarHwnd()->palette().color(QPalette::Highlight) != QColor(Qt::green));

    const QColor barColour(200, 0, 0), backColour(0, 0, 200);
    bar.SetBarColor(barColour);
    bar.SetBackColor(backColour);
    QCOMPARE(bar.ProgBarHwnd()->palette().color(QPalette::Highlight), barColour);
    QCOMPARE(bar.ProgBarHwnd()->palette().color(QPalette::Base), backColour);

    // On screen: the filled half is reddish, the empty half bluish.
    bar.SetProgBarPos(50);
    const QImage image = bar.ProgBarHwnd()->grab().toImage();
    const QColor filled = image.pixelColor(image.width() / 4, image.height() / 2);
    const QColor empty = image.pixelColor(image.width() * 3 / 4, image.height() / 2);
    QVERIFY2(filled.red() > filled.blue() + 60, qPrintable(filled.name()));
    QVERIFY2(empty.blue() > empty.red() + 60, qPrintable(empty.name()));
}

void ProgBarTest::destroyTwiceAndWithParent()
{
    QWidget form;
    CProgBar32 bar;
    bar.Parent(&form);
    QVERIFY(bar.Create());
    QSignalSpy destroyed(bar.ProgBarHwnd(), &QObject::destroyed);
    bar.DestroyProgBar();
    QCOMPARE(destroyed.count(), 1); // at once, not deferred
    QVERIFY(form.findChildren<QProgressBar*>().isEmpty());
    bar.DestroyProgBar();
    QCOMPARE(destroyed.count(), 1);

    // A bar whose parent went first.
    auto* other = new QWidget;
    bar.Parent(other);
    QVERIFY(bar.Create());
    delete other;
    QVERIFY(!bar.ProgBarHwnd());
    bar.DestroyProgBar();
}

QTEST_MAIN(ProgBarTest)
#include "tst_progbar.moc"
