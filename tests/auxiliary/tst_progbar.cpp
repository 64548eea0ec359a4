// CProgBar32: where Create puts a bar (or refuses), positions, events let through while
// moving, and destruction.
#include "auxiliary/ui/CProgBar32.h"

#include <QProgressBar>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>
#include <functional>

using kt::CProgBar32;
using Args = QList<int>; // left, top, width, height; -1 leaves one out

// How the bar is told its parent before Create: Parent(a form, perhaps deleted since),
// SethWndParent(a widget, its window id or an id no widget of ours has), or both.
enum class ParentBy { Form, Nothing, GoneForm, Pointer, WindowId, Both, UnknownId };

class ProgBarTest : public QObject
{
    Q_OBJECT
private slots:
    void create_data()
    {
        QTest::addColumn<ParentBy>("parent");
        QTest::addColumn<Args>("args");
        QTest::addColumn<QRect>("geometry"); // null: no bar made
        QTest::newRow("form, all defaults") << ParentBy::Form << Args{-1, -1, -1, -1} << QRect(0, 0, 393, 20);
        QTest::newRow("form, some defaults") << ParentBy::Form << Args{5, -1, -1, 9} << QRect(5, 0, 393, 9);
        QTest::newRow("no parent") << ParentBy::Nothing << Args{0, 0, 100, 20} << QRect();
        QTest::newRow("form gone") << ParentBy::GoneForm << Args{-1, -1, -1, -1} << QRect();
        QTest::newRow("handle by pointer")
            << ParentBy::Pointer << Args{10, 20, 200, 15} << QRect(10, 20, 200, 15);
        QTest::newRow("handle by id") << ParentBy::WindowId << Args{1, 2, 3, 4} << QRect(1, 2, 3, 4);
        QTest::newRow("handle wins over form") << ParentBy::Both << Args{0, 0, 50, 10} << QRect(0, 0, 50, 10);
        QTest::newRow("handle, a number missing") << ParentBy::Pointer << Args{1, 2, 3, -1} << QRect();
        QTest::newRow("unknown window id") << ParentBy::UnknownId << Args{1, 2, 3, 4} << QRect();
    }

    void create()
    {
        QFETCH(ParentBy, parent);
        QFETCH(Args, args);
        QFETCH(QRect, geometry);
        QWidget form, host;
        form.resize(393, 114);
        CProgBar32 bar;
        if (parent == ParentBy::Form || parent == ParentBy::Both)
            bar.Parent(&form);
        if (parent == ParentBy::Pointer || parent == ParentBy::Both)
            bar.SethWndParent(&host);
        else if (parent == ParentBy::WindowId)
            bar.SethWndParent(host.winId());
        else if (parent == ParentBy::UnknownId)
            bar.SethWndParent(WId(0x7fff1234));
        else if (parent == ParentBy::GoneForm) {
            auto* gone = new QWidget;
            bar.Parent(gone);
            delete gone;
        }
        auto arg = [&](int i) { return args[i] < 0 ? std::nullopt : std::optional<int>(args[i]); };
        QCOMPARE(bar.Create(arg(0), arg(1), arg(2), arg(3)), !geometry.isNull());
        if (geometry.isNull()) {
            QVERIFY(!bar.ProgBarHwnd());
            QVERIFY(form.findChildren<QProgressBar*>().isEmpty() &&
                    host.findChildren<QProgressBar*>().isEmpty());
            bar.SetProgBarPos(50); // without a bar: nothing happens
            bar.DestroyProgBar();
            return;
        }
        QCOMPARE(bar.ProgBarHwnd()->parentWidget(), parent == ParentBy::Form ? &form : &host);
        QCOMPARE(bar.ProgBarHwnd()->geometry(), geometry);
        QCOMPARE(bar.ProgBarHwnd()->value(), 0);
    }

    void setPosLetsEventsThrough()
    {
        QWidget form;
        CProgBar32 bar;
        bar.Parent(&form);
        QVERIFY(bar.Create());
        // A waiting event (a Cancel click during a block) runs inside the call, after the
        // move, and in one pass only: an event that posts itself again runs once per call.
        QList<int> seen;
        std::function<void()> watch = [&] {
            seen << bar.ProgBarHwnd()->value();
            QMetaObject::invokeMethod(&form, watch, Qt::QueuedConnection);
        };
        QMetaObject::invokeMethod(&form, watch, Qt::QueuedConnection);
        bar.SetProgBarPos(7);
        bar.SetProgBarPos(7);
        bar.SetProgBarPos(9);
        QCOMPARE(seen, (QList<int>{7, 7, 9}));
        bar.DelayProgBar(0); // before and after its wait
        QCOMPARE(seen.size(), 5);
        // Positions are kept within 0..100. (Every step painted is the progress window's check.)
        for (auto [position, shown] : {std::pair{37, 37}, {32767, 100}, {-3, 0}}) {
            bar.SetProgBarPos(position);
            QCOMPARE(bar.ProgBarHwnd()->value(), shown);
        }
        bar.ClearProgBar();
        QCOMPARE(bar.ProgBarHwnd()->value(), 0);
    }

    void destroyTwiceOrWithItsWindow()
    {
        QWidget form;
        CProgBar32 bar;
        bar.Parent(&form);
        QVERIFY(bar.Create());
        QSignalSpy destroyed(bar.ProgBarHwnd(), &QObject::destroyed);
        bar.DestroyProgBar();
        QCOMPARE(destroyed.count(), 1); // at once, not deferred
        bar.DestroyProgBar();
        QCOMPARE(destroyed.count(), 1);

        auto* other = new QWidget; // a window closed by an event while the bar moves, as Cancel does
        bar.Parent(other);
        QVERIFY(bar.Create());
        QMetaObject::invokeMethod(
            other, [other] { delete other; }, Qt::QueuedConnection);
        bar.SetProgBarPos(50);
        QVERIFY(!bar.ProgBarHwnd());
        bar.SetProgBarPos(60);
        bar.DestroyProgBar();
    }
};

QTEST_MAIN(ProgBarTest)
#include "tst_progbar.moc"
