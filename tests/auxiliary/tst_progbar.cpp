// CProgBar32: where Create puts a bar (or refuses), moves that let events through, destruction.
#include "../support/Rows.h"
#include "auxiliary/ui/CProgBar32.h"

#include <QProgressBar>
#include <QSignalSpy>
#include <QTest>
#include <functional>
#include <memory>

using kt::CProgBar32;

namespace {
// Parent(a form, perhaps deleted), SethWndParent(a widget, its id, an unknown id), or both.
enum class P { Form, GoneForm, Pointer, WindowId, Both, UnknownId };
struct CreateRow
{
    P parent;
    QList<int> args; // left, top, width, height; -1 leaves one out
    QRect geometry;  // null: no bar made
};
} // namespace
Q_DECLARE_METATYPE(CreateRow)

class ProgBarTest : public QObject
{
    Q_OBJECT
private slots:
    void create_data()
    {
        kt::test::addRows<CreateRow>({
            {"form, all defaults", {P::Form, {-1, -1, -1, -1}, {0, 0, 393, 20}}},
            {"form, some defaults", {P::Form, {5, -1, -1, 9}, {5, 0, 393, 9}}},
            {"form gone", {P::GoneForm, {-1, -1, -1, -1}, {}}},
            {"handle by id", {P::WindowId, {1, 2, 3, 4}, {1, 2, 3, 4}}},
            {"handle wins over form", {P::Both, {10, 20, 200, 15}, {10, 20, 200, 15}}},
            {"handle, a number missing", {P::Pointer, {1, 2, 3, -1}, {}}},
            {"unknown window id", {P::UnknownId, {1, 2, 3, 4}, {}}},
        });
    }
    void create()
    {
        QFETCH(CreateRow, row);
        QWidget form, host;
        form.resize(393, 114);
        CProgBar32 bar;
        if (row.parent == P::Form || row.parent == P::Both)
            bar.Parent(&form);
        if (row.parent == P::Pointer || row.parent == P::Both)
            bar.SethWndParent(&host);
        else if (row.parent == P::WindowId || row.parent == P::UnknownId)
            bar.SethWndParent(row.parent == P::WindowId ? host.winId() : WId(0x7fff1234));
        else if (row.parent == P::GoneForm)
            bar.Parent(std::make_unique<QWidget>().get()); // deleted at the end of the line
        auto arg = [&](int i) { return row.args[i] < 0 ? std::nullopt : std::optional<int>(row.args[i]); };
        QCOMPARE(bar.Create(arg(0), arg(1), arg(2), arg(3)), !row.geometry.isNull());
        QProgressBar* made = bar.ProgBarHwnd();
        QCOMPARE(made ? made->geometry() : QRect(), row.geometry);
        QCOMPARE(form.findChildren<QProgressBar*>().size(), int(made && row.parent == P::Form));
        QCOMPARE(host.findChildren<QProgressBar*>().size(), int(made && row.parent != P::Form));
        QVERIFY(!made || made->value() == 0);
    }

    // A waiting event (Cancel) runs inside the call after the move, once per call even when it
    // posts itself again; positions clamp to 0..100; the bar goes at once, or with its window.
    void moveAndDestroy()
    {
        auto* other = new QWidget;
        CProgBar32 bar;
        bar.Parent(other);
        QVERIFY(bar.Create());
        QMetaObject::invokeMethod(
            other, [other] { delete other; }, Qt::QueuedConnection);
        bar.SetProgBarPos(50);
        QVERIFY(!bar.ProgBarHwnd());
        bar.SetProgBarPos(60); // without a bar: nothing happens
        bar.DestroyProgBar();

        QWidget form;
        bar.Parent(&form);
        QVERIFY(bar.Create());
        QList<int> seen;
        std::function<void()> watch = [&] {
            seen << bar.ProgBarHwnd()->value();
            QMetaObject::invokeMethod(&form, watch, Qt::QueuedConnection);
        };
        QMetaObject::invokeMethod(&form, watch, Qt::QueuedConnection);
        for (int position : {7, 7, 9, 32767, -3, 37})
            bar.SetProgBarPos(position);
        bar.DelayProgBar(0); // before and after its wait
        QCOMPARE(seen, (QList<int>{7, 7, 9, 100, 0, 37, 37, 37}));
        bar.ClearProgBar();
        QCOMPARE(bar.ProgBarHwnd()->value(), 0);
        QSignalSpy destroyed(bar.ProgBarHwnd(), &QObject::destroyed);
        bar.DestroyProgBar();
        bar.DestroyProgBar();
        QCOMPARE(destroyed.count(), 1); // at once, not deferred
    }
};

QTEST_MAIN(ProgBarTest)
#include "tst_progbar.moc"
