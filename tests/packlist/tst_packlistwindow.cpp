// The Pack List in the real main window: adding by the dialog and by drops, dragging rows
// to reorder, and the remove, move, sort and selection commands with their focus and
// command refresh. Driven through the window's actions, buttons and viewport events.
#include <QtTest>

#include <QAction>
#include <QDir>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QUrl>

#include "../support/ScriptedSeams.h"
#include "app/MainWindow.h"
#include "app/StartupValues.h"
#include "packlist/ui/PackListDropTarget.h"
#include "packlist/ui/PackListModel.h"
#include "packlist/ui/PackListView.h"

using namespace kt;

class TestPackListWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void addThroughTheDialog();
    void cancelledAddStillFocusesAndRefreshes();
    void dropOfFileUrls();
    void dropOfPlainTextWaitsForThePointer();
    void dragRowsOntoARow_data();
    void dragRowsOntoARow();
    void removeSelectsTheFollowingRow();
    void moveUpAndNothingToSwap();
    void sortsAndTheCommandStates();
    void selectionButtons();
    void listButtonHints();

private:
    klivamainfrm& make();
    QString file(const QString& name) const { return m_dir.filePath(name); }
    void fill(const QStringList& paths);
    void fillNumbered(int n) ;
    void select(const QList<int>& rows, int current);
    QList<int> viewSelection() const;
    void sendDrop(QMimeData* data, int row);
    QString paths() const; // file names of the rows, space separated
    bool enabled(const char* action) const { return m_w->action(QLatin1String(action))->isEnabled(); }
    bool listHasFocus() const { return QApplication::focusWidget() == m_w->packListView(); }

    QTemporaryDir m_dir;
    std::unique_ptr<klivamainfrm> m_w;
    std::unique_ptr<test::ScriptedMessageBox> m_boxes;
    std::unique_ptr<test::ScriptedFileDialogs> m_dialogs;
};

void TestPackListWindow::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.filePath("config"));
    QVERIFY(QDir().mkpath(m_dir.filePath("config/Vantu")));
    QFile conf(m_dir.filePath("config/Vantu/KlivaTARN.conf"));
    QVERIFY(conf.open(QIODevice::WriteOnly));
    conf.write("[General]\nShowTod=0\n");
    conf.close();
    // A 352 x 240 sequence header, and files that are no MPEG at all.
    QFile mpg(file("a.mpg"));
    QVERIFY(mpg.open(QIODevice::WriteOnly));
    mpg.write(QByteArray("\x00\x00\x01\xB3\x16\x00\xF0\x14\xFF\xFF\xE0\x00", 12) + QByteArray(64, '\0'));
    mpg.close();
    for (const char* name : {"b.mpg", "c.mp3"}) {
        QFile f(file(QLatin1String(name)));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("not mpeg");
    }
    QVERIFY(QDir().mkpath(file("folder")));
}

void TestPackListWindow::init()
{
    m_boxes = std::make_unique<test::ScriptedMessageBox>();
    m_dialogs = std::make_unique<test::ScriptedFileDialogs>();
}

void TestPackListWindow::cleanup()
{
    m_w.reset();
    m_dialogs.reset();
    m_boxes.reset();
}

klivamainfrm& TestPackListWindow::make()
{
    StartupValues v;
    v.programDir = QStringLiteral("/nonexistent");
    v.normalDpi = true;
    setStartupValues(v);
    m_w = std::make_unique<klivamainfrm>();
    m_w->load();
    m_w->show();
    if (!QTest::qWaitForWindowActive(m_w.get()))
        qWarning("window not active: focus checks may fail");
    return *m_w;
}

void TestPackListWindow::fill(const QStringList& rowPaths)
{
    PackList& list = m_w->packList();
    list.clear();
    for (const QString& p : rowPaths)
        list.append({p, QStringLiteral("w ") + p, QStringLiteral("f ") + p, false});
    m_w->packListView()->syncFromList();
    m_w->RefreshPackListCommands();
}

void TestPackListWindow::fillNumbered(int n)
{
    QStringList rows;
    for (int k = 1; k <= n; ++k)
        rows << QStringLiteral("/v/%1").arg(k);
    fill(rows);
}

// Selects through the view, as clicks would: the view writes the rows' flags.
void TestPackListWindow::select(const QList<int>& rows, int current)
{
    PackListView* view = m_w->packListView();
    QItemSelectionModel* sel = view->selectionModel();
    sel->clearSelection();
    for (int r : rows)
        sel->select(view->packModel()->index(r - 1, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    if (current > 0)
        sel->setCurrentIndex(view->packModel()->index(current - 1, 0), QItemSelectionModel::NoUpdate);
    m_w->RefreshPackListCommands();
}

QList<int> TestPackListWindow::viewSelection() const
{
    QList<int> rows;
    for (const QModelIndex& i : m_w->packListView()->selectionModel()->selectedRows())
        rows << i.row() + 1;
    std::sort(rows.begin(), rows.end());
    return rows;
}

QString TestPackListWindow::paths() const
{
    const PackListModel* model = m_w->packListView()->packModel();
    QStringList out;
    for (int r = 0; r < model->rowCount(); ++r) {
        const QString path = model->index(r, 0).data().toString();
        // The cells travel with their path.
        if (model->index(r, 1).data().toString() != m_w->packList().row(r + 1).videoSize)
            return QStringLiteral("view out of step");
        out << QFileInfo(path).fileName();
    }
    return out.join(QLatin1Char(' '));
}

void TestPackListWindow::sendDrop(QMimeData* data, int row)
{
    PackListView* view = m_w->packListView();
    QWidget* viewport = view->viewport();
    const QPoint at = row >= 1 ? view->visualRect(view->packModel()->index(row - 1, 0)).center()
                               : QPoint(10, viewport->height() - 3);
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &enter);
    QVERIFY(enter.isAccepted());
    QDragMoveEvent move(at, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &move);
    QVERIFY(move.isAccepted());
    QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &drop);
    QVERIFY(drop.isAccepted());
    QCOMPARE(drop.dropAction(), Qt::CopyAction); // never a move: the view must not delete rows
}

void TestPackListWindow::addThroughTheDialog()
{
    klivamainfrm& w = make();
    m_dialogs->answerOpen({file("a.mpg"), file("folder"), file("b.mpg"), file("c.mp3")});
    m_dialogs->answerOpen({file("a.mpg")});

    w.action("AddMnu")->trigger();

    QCOMPARE(m_dialogs->openRequests().size(), 1);
    QCOMPARE(m_dialogs->openRequests()[0].title, QStringLiteral("Add Files... (multiple selection possible)"));
    QCOMPARE(m_dialogs->openRequests()[0].filter, mediaFileFilter());
    QVERIFY(m_dialogs->openRequests()[0].initialDir.isEmpty());
    QCOMPARE(paths(), QStringLiteral("a.mpg b.mpg c.mp3"));
    QCOMPARE(w.packList().path(1), file("a.mpg"));
    const PackListModel* model = w.packListView()->packModel();
    QCOMPARE(model->index(0, 1).data().toString(), QStringLiteral("352 x 240"));
    QCOMPARE(model->index(1, 1).data().toString(), QStringLiteral("not available"));
    QCOMPARE(model->index(2, 2).data().toString(), QStringLiteral("not available"));
    QVERIFY(enabled("PackMnu"));
    QVERIFY(enabled("SortAscendingMnu"));
    QVERIFY(listHasFocus());

    // The same file again, through the pop-up menu's item: a second row of it.
    w.action("AddPackWhatSelPopupMnu")->trigger();
    QCOMPARE(paths(), QStringLiteral("a.mpg b.mpg c.mp3 a.mpg"));
    QVERIFY(m_boxes->asked().isEmpty());
}

void TestPackListWindow::cancelledAddStillFocusesAndRefreshes()
{
    klivamainfrm& w = make();
    fillNumbered(2);
    w.findChild<QPushButton*>(QStringLiteral("packlst_SortAsc_cmd"))->setFocus();
    // Rows selected behind the window's back: only a refresh enables Remove.
    w.packList().setSelected(1, true);
    QVERIFY(!enabled("RemoveMnu"));

    w.AddMnu_Click(); // no answer queued: cancelled

    QCOMPARE(w.packList().count(), 2);
    QVERIFY(listHasFocus());
    QVERIFY(enabled("RemoveMnu"));
}

void TestPackListWindow::dropOfFileUrls()
{
    klivamainfrm& w = make();
    fillNumbered(1);
    w.findChild<QPushButton*>(QStringLiteral("packlst_InvSel_cmd"))->setFocus();
    QVERIFY(!enabled("PackMnu"));
    auto* data = new QMimeData;
    data->setUrls({QUrl::fromLocalFile(file("b.mpg")), QUrl::fromLocalFile(file("folder")),
                   QUrl::fromLocalFile(file("a.mpg"))});
    std::unique_ptr<QMimeData> owner(data);

    sendDrop(data, 1);

    QCOMPARE(paths(), QStringLiteral("1 b.mpg a.mpg"));
    QCOMPARE(w.packListView()->packModel()->index(2, 1).data().toString(), QStringLiteral("352 x 240"));
    QVERIFY(listHasFocus());
    QVERIFY(enabled("PackMnu"));
    QVERIFY(!w.packListView()->findChild<PackListDropTarget*>()->state().itemDropPending());
    QVERIFY(w.grab().save(QStringLiteral("/tmp/listops_after_drop.png")));
}

void TestPackListWindow::dropOfPlainTextWaitsForThePointer()
{
    klivamainfrm& w = make();
    fillNumbered(7);
    select({5, 7}, 7);
    QMimeData data;
    data.setText(file("a.mpg"));
    const auto* target = w.packListView()->findChild<PackListDropTarget*>();

    sendDrop(&data, 3);

    QCOMPARE(paths(), QStringLiteral("1 2 3 4 5 6 7"));
    QVERIFY(target->state().itemDropPending());

    // The next pointer movement over the list finishes the reorder at the row under it.
    PackListView* view = w.packListView();
    const QPoint over2 = view->visualRect(view->packModel()->index(1, 0)).center();
    QMouseEvent move(QEvent::MouseMove, over2, view->viewport()->mapToGlobal(over2), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view->viewport(), &move);

    QVERIFY(!target->state().itemDropPending());
    QCOMPARE(paths(), QStringLiteral("1 5 2 7 3 4 6"));
    QCOMPARE(viewSelection(), QList<int>({2, 4}));
}

void TestPackListWindow::dragRowsOntoARow_data()
{
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<int>("target"); // 0: below the last row
    QTest::addColumn<QString>("after");
    QTest::addColumn<QList<int>>("selectedAfter");
    QTest::newRow("5,7 onto 2") << QList<int>{5, 7} << 2 << "1 5 2 7 3 4 6" << QList<int>{2, 4};
    QTest::newRow("2,4 onto 7") << QList<int>{2, 4} << 7 << "1 3 5 6 2 7 4" << QList<int>{5, 7};
    QTest::newRow("inside the span") << QList<int>{2, 5} << 4 << "1 2 3 4 5 6 7" << QList<int>{2, 5};
    QTest::newRow("below the last row") << QList<int>{2, 5} << 0 << "1 2 3 4 5 6 7" << QList<int>{2, 5};
}

void TestPackListWindow::dragRowsOntoARow()
{
    QFETCH(QList<int>, selected);
    QFETCH(int, target);
    QFETCH(QString, after);
    QFETCH(QList<int>, selectedAfter);
    klivamainfrm& w = make();
    fillNumbered(7);
    select(selected, selected.first());
    PackListView* view = w.packListView();
    // What the view itself puts on the drag for its selected rows.
    std::unique_ptr<QMimeData> data(view->packModel()->mimeData(view->selectionModel()->selectedIndexes()));
    QVERIFY(data);

    sendDrop(data.get(), target);

    QCOMPARE(paths(), after);
    QCOMPARE(viewSelection(), selectedAfter);
    QVERIFY(!view->findChild<PackListDropTarget*>()->state().itemDropPending());
}

void TestPackListWindow::removeSelectsTheFollowingRow()
{
    klivamainfrm& w = make();
    fillNumbered(5);
    select({2, 3}, 3);

    w.action("RemoveMnu")->trigger();

    QCOMPARE(paths(), QStringLiteral("1 4 5"));
    QCOMPARE(viewSelection(), QList<int>{2});
    QVERIFY(listHasFocus());
    QVERIFY(enabled("ViewMnu")); // one row selected now

    // Everything: an empty list, every list command off except Add.
    w.SelectAllMnu_Click();
    w.RemoveMnu_Click();
    QCOMPARE(w.packList().count(), 0);
    for (const char* off : {"RemoveMnu", "PackMnu", "MoveUpMnu", "SelectAllMnu", "SortAscendingMnu", "ViewMnu"})
        QVERIFY2(!enabled(off), off);
    QVERIFY(enabled("AddMnu"));
}

void TestPackListWindow::moveUpAndNothingToSwap()
{
    klivamainfrm& w = make();
    fillNumbered(5);
    select({2, 3}, 3);
    QPushButton* up = w.findChild<QPushButton*>(QStringLiteral("selposup_cmd"));

    up->click();
    QCOMPARE(paths(), QStringLiteral("2 3 1 4 5"));
    QCOMPARE(viewSelection(), QList<int>({1, 2}));
    QVERIFY(listHasFocus());

    w.DeselectAllMnu_Click();
    up->setFocus();
    up->click();
    QCOMPARE(m_boxes->texts(), QStringList{"Nothing to swap."});
    QCOMPARE(m_boxes->asked()[0].style, 48);
    QCOMPARE(QApplication::focusWidget(), up); // no focus change after the message
    QCOMPARE(paths(), QStringLiteral("2 3 1 4 5"));

    select({2}, 5); // the last row current: Move Down does nothing
    w.MoveDownMnu_Click();
    QCOMPARE(paths(), QStringLiteral("2 3 1 4 5"));
}

void TestPackListWindow::sortsAndTheCommandStates()
{
    klivamainfrm& w = make();
    fill({QStringLiteral("C:\\b.mpg"), QStringLiteral("C:\\A.mpg"), QStringLiteral("C:\\a.mpg")});
    select({1}, 1);
    QVERIFY(enabled("RemoveMnu"));

    w.findChild<QPushButton*>(QStringLiteral("packlst_SortAsc_cmd"))->click();
    QCOMPARE(w.packList().paths(), QStringList({"C:\\A.mpg", "C:\\a.mpg", "C:\\b.mpg"}));
    QCOMPARE(viewSelection(), QList<int>{});
    QVERIFY(listHasFocus());
    QVERIFY(enabled("RemoveMnu")); // left as it was before the sort
    QVERIFY(enabled("MoveUpMnu"));

    w.action("SortDescendingMnu")->trigger();
    QCOMPARE(w.packList().paths(), QStringList({"C:\\b.mpg", "C:\\a.mpg", "C:\\A.mpg"}));
    QVERIFY(!enabled("RemoveMnu")); // refreshed: nothing is selected
    QVERIFY(!enabled("MoveUpMnu"));
    QCOMPARE(w.packListView()->packModel()->index(0, 1).data().toString(), QStringLiteral("w C:\\b.mpg"));
}

void TestPackListWindow::selectionButtons()
{
    klivamainfrm& w = make();
    fillNumbered(3);
    w.findChild<QPushButton*>(QStringLiteral("packlst_SelectAll_cmd"))->click();
    QCOMPARE(viewSelection(), QList<int>({1, 2, 3}));
    QVERIFY(enabled("RemoveMnu"));
    QVERIFY(listHasFocus());
    w.findChild<QPushButton*>(QStringLiteral("packlst_InvSel_cmd"))->click();
    QCOMPARE(viewSelection(), QList<int>{});
    QVERIFY(!enabled("RemoveMnu"));
    w.action("InvSelMnu")->trigger();
    QCOMPARE(viewSelection(), QList<int>({1, 2, 3}));
    w.findChild<QPushButton*>(QStringLiteral("packlst_DeselectAll_cmd"))->click();
    QCOMPARE(w.packList().selectedCount(), 0);
}

void TestPackListWindow::listButtonHints()
{
    klivamainfrm& w = make();
    const QList<QPair<const char*, const char*>> hints = {
        {"packlst_SortAsc_cmd", "Sort file(s) in ascending order."},
        {"packlst_SortDes_cmd", "Sort file(s) in descending order."},
        {"packlst_SelectAll_cmd", "Select all file(s) in Pack List"},
        {"packlst_DeselectAll_cmd", "Deselect all file(s) in Pack List"},
        {"packlst_InvSel_cmd", "Inverse select all file(s) in Pack List"},
    };
    for (const auto& [name, text] : hints) {
        QPushButton* b = w.findChild<QPushButton*>(QLatin1String(name));
        QVERIFY2(b, name);
        QString tip = QLatin1String(text);
        if (tip.endsWith(QLatin1Char('.')))
            tip.chop(1);
        QCOMPARE(b->toolTip(), tip);
        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), b->mapToGlobal(QPointF(2, 2)));
        QCoreApplication::sendEvent(b, &enter);
        QCOMPARE(w.statusText(), QLatin1String(text));
    }
}

QTEST_MAIN(TestPackListWindow)
#include "tst_packlistwindow.moc"
