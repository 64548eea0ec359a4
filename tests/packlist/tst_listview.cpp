// The Pack List view over the PackList: selection and current row kept in step both
// ways, appends, long lists, the list's own events, header and column widths.
#include "packlist/ui/PackListModel.h"
#include "packlist/ui/PackListView.h"

#include <QHeaderView>
#include <QtTest>

using namespace kt;

namespace {

PackListRow row(int i)
{
    return {QStringLiteral("/v/clip%1.mpg").arg(i, 5, 10, QLatin1Char('0')), QStringLiteral("352 x 240"),
            QStringLiteral("25"), false};
}

QList<int> selectedInView(const PackListView& v)
{
    QList<int> rows;
    for (const QItemSelectionRange& r : v.selectionModel()->selection()) // selectedRows() is quadratic
        for (int i = r.top(); i <= r.bottom(); ++i)
            rows << i + 1;
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

QList<int> selectedInList(const PackList& l)
{
    QList<int> rows;
    for (int i = 1; i <= l.count(); ++i)
        if (l.isSelected(i))
            rows << i;
    return rows;
}

} // namespace

class TestListView : public QObject
{
    Q_OBJECT
    std::unique_ptr<PackList> m_list;
    std::unique_ptr<PackListView> m_view;

    void fill(int rows)
    {
        const int first = m_list->count() + 1;
        for (int i = 0; i < rows; ++i)
            m_list->append(row(first + i));
        m_view->rowsAppended(first);
    }
    QPoint at(int position) const
    {
        return m_view->visualRect(m_view->model()->index(position - 1, 0)).center();
    }

private slots:
    void init()
    {
        m_view.reset();
        m_list = std::make_unique<PackList>();
        m_view = std::make_unique<PackListView>(*m_list);
        m_view->resize(500, 300);
        m_view->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
    }

    void headerAndCells()
    {
        QCOMPARE(m_view->selectionMode(), QAbstractItemView::ExtendedSelection);
        QStringList headers;
        for (int c = 0; c < m_view->model()->columnCount(); ++c)
            headers << m_view->model()->headerData(c, Qt::Horizontal).toString();
        QCOMPARE(headers, (QStringList{"Filename", "Video Size", "Frame Rate"}));
        fill(1);
        QVERIFY(!(m_view->model()->flags(m_view->model()->index(0, 0)) & Qt::ItemIsEditable));
        QVERIFY(!m_view->header()->sectionsClickable()); // the header never sorts
    }

    void flagsShownInView_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<QList<int>>("selected");
        QTest::addColumn<int>("current");
        QTest::newRow("none") << 9 << QList<int>{} << 0;
        QTest::newRow("runs") << 9 << QList<int>{1, 2, 3, 6, 8, 9} << 8;
        QTest::newRow("all") << 9 << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9} << 1;
        QList<int> odd;
        for (int i = 1; i <= 32767; i += 2)
            odd << i;
        QTest::newRow("32767 rows, every other") << 32767 << odd << 32767;
    }
    void flagsShownInView()
    {
        QFETCH(int, rows);
        QFETCH(QList<int>, selected);
        QFETCH(int, current);
        fill(rows);
        QTest::mouseClick(m_view->viewport(), Qt::LeftButton, {}, at(4)); // something to replace
        m_list->setAllSelected(false);
        for (int r : selected)
            m_list->setSelected(r, true);
        m_list->setCurrentRow(current);
        m_view->syncSelectionFromList();
        QCOMPARE(selectedInView(*m_view), selected);
        QCOMPARE(selectedInList(*m_list), selected); // syncing wrote nothing back
        QCOMPARE(m_view->currentIndex().isValid() ? m_view->currentIndex().row() + 1 : 0, current);
        m_view->clearSelection(); // and the view's changes do write back
        QCOMPARE(m_list->selectedCount(), 0);
        QCOMPARE(m_list->currentRow(), current);
    }

    void appendAnnouncesOnlyNewRows()
    {
        fill(3);
        m_list->setSelected(2, true);
        m_view->syncSelectionFromList();
        QSignalSpy inserted(m_view->model(), &QAbstractItemModel::rowsInserted);
        QSignalSpy reset(m_view->model(), &QAbstractItemModel::modelReset);
        PackListRow added = row(4);
        added.selected = true;
        m_list->append(added);
        m_list->append(row(5));
        m_view->rowsAppended(4);
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(reset.count(), 0);
        QCOMPARE(selectedInView(*m_view), (QList<int>{2, 4}));
    }

    void listEvents()
    {
        fill(4);
        int countAtSignal = -1;
        // A click is reported after the selection changed, also on the empty part of the list.
        auto c = connect(m_view.get(), &PackListView::listClicked, this,
                         [&] { countAtSignal = m_list->selectedCount(); });
        QTest::mouseClick(m_view->viewport(), Qt::LeftButton, {}, at(1));
        QCOMPARE(countAtSignal, 1);
        QTest::mouseClick(m_view->viewport(), Qt::LeftButton, {},
                          QPoint(10, m_view->viewport()->height() - 5));
        QCOMPARE(countAtSignal, 0);
        disconnect(c);
        // A key is reported before it acts.
        QTest::mouseClick(m_view->viewport(), Qt::LeftButton, {}, at(1));
        connect(m_view.get(), &PackListView::listKeyDown, this,
                [&] { countAtSignal = m_list->selectedCount(); });
        QTest::keyClick(m_view.get(), Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(countAtSignal, 1);
        QCOMPARE(m_list->selectedCount(), 2);
        QCOMPARE(m_list->currentRow(), 2);
        // The right button reports where it went down, and its release is no click.
        QSignalSpy right(m_view.get(), &PackListView::listRightButtonDown);
        QSignalSpy clicks(m_view.get(), &PackListView::listClicked);
        QTest::mousePress(m_view->viewport(), Qt::RightButton, {}, at(3));
        QCOMPARE(right.count(), 1);
        QCOMPARE(right[0][0].toPoint(), m_view->viewport()->mapToGlobal(at(3)));
        QTest::mouseRelease(m_view->viewport(), Qt::RightButton, {}, at(3));
        QCOMPARE(clicks.count(), 0);
    }

    void columnWidths()
    {
        fill(3);
        auto sum = [&] { return m_view->columnWidth(0) + m_view->columnWidth(1) + m_view->columnWidth(2); };
        m_view->setColumnWidth(0, 200);
        m_view->PackListSetMaxWidth(300); // + 150 twips
        QCOMPARE(m_view->columnWidth(0), 200 + qRound(150.0 * m_view->logicalDpiX() / 1440));
        QCOMPARE(sum(), m_view->viewport()->width());
        m_view->setColumnWidthBy(1, LVSCW_AUTOSIZE_USEHEADER);
        QVERIFY(m_view->columnWidth(1) >= m_view->header()->sectionSizeHint(1));
        m_view->setColumnWidthBy(5, 10); // no such column: nothing happens
        m_view->columnMinAll();
        QVERIFY(m_view->columnWidth(2) < m_view->header()->sectionSizeHint(2));
        // The last column fills again when the list is resized later on.
        m_view->fillWithLastColumn();
        m_view->resize(700, 300);
        QCoreApplication::processEvents();
        QCOMPARE(sum(), m_view->viewport()->width());
    }
};

QTEST_MAIN(TestListView)
#include "tst_listview.moc"
