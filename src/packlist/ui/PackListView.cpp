#include "PackListView.h"

#include "PackListModel.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScopedValueRollback>
#include <QToolTip>
#include <cmath>

namespace kt {

PackListView::PackListView(PackList& list, QWidget* parent)
    : QTreeView(parent), m_list(list), m_model(new PackListModel(list, this))
{
    setObjectName(QStringLiteral("PackList_ListView"));
    setModel(m_model);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true); // keeps 32,767 rows quick to lay out
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTextElideMode(Qt::ElideMiddle);

    QHeaderView* h = header();
    h->setObjectName(QStringLiteral("PackList_Header"));
    h->setSectionsClickable(false); // sorting exists only as commands
    h->setSectionsMovable(false);
    h->setHighlightSections(false);
    h->setSortIndicatorShown(false);
    h->setStretchLastSection(false);
    h->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &PackListView::onSelectionChanged);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { onCurrentChanged(current); });
}

void PackListView::onSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    if (m_syncing)
        return;
    for (const QItemSelectionRange& r : deselected)
        for (int row = r.top(); row <= r.bottom(); ++row)
            if (row < m_list.count())
                m_list.setSelected(row + 1, false);
    for (const QItemSelectionRange& r : selected)
        for (int row = r.top(); row <= r.bottom(); ++row)
            if (row < m_list.count())
                m_list.setSelected(row + 1, true);
}

void PackListView::onCurrentChanged(const QModelIndex& current)
{
    if (!m_syncing)
        m_list.setCurrentRow(current.isValid() ? current.row() + 1 : 0);
}

void PackListView::syncFromList()
{
    {
        QScopedValueRollback guard(m_syncing, true);
        m_model->reload();
    }
    syncSelectionFromList();
}

void PackListView::rowsAppended(int firstNew)
{
    {
        QScopedValueRollback guard(m_syncing, true);
        m_model->rowsAppended(firstNew);
    }
    syncSelectionFromList();
}

void PackListView::syncSelectionFromList()
{
    QScopedValueRollback guard(m_syncing, true);
    // Runs of selected rows become one range each.
    QItemSelection selection;
    const int n = m_list.count();
    const int lastColumn = m_model->columnCount() - 1;
    for (int row = 1; row <= n;) {
        if (!m_list.isSelected(row)) {
            ++row;
            continue;
        }
        const int first = row;
        while (row <= n && m_list.isSelected(row))
            ++row;
        selection.select(m_model->index(first - 1, 0), m_model->index(row - 2, lastColumn));
    }
    // Clear first, then select: Qt compares old and new selections range by range
    // unless one of them is empty, which with thousands of scattered rows on both
    // sides would take seconds.
    selectionModel()->clearSelection();
    if (!selection.isEmpty())
        selectionModel()->select(selection, QItemSelectionModel::Select);
    const int current = m_list.currentRow();
    if (current >= 1 && current <= n)
        selectionModel()->setCurrentIndex(m_model->index(current - 1, 0), QItemSelectionModel::NoUpdate);
    else
        selectionModel()->clearCurrentIndex();
    viewport()->update();
}

void PackListView::setColumnWidthBy(int column, int widthOrCode)
{
    const int columns = m_model->columnCount();
    if (column < 0 || column >= columns)
        return;
    m_lastFills = column == columns - 1 && widthOrCode == LVSCW_AUTOSIZE_USEHEADER;
    if (widthOrCode >= 0) {
        setColumnWidth(column, widthOrCode);
        return;
    }
    int cells = sizeHintForColumn(column); // visible rows only, so cheap on long lists
    if (cells < 0)
        cells = 0;
    int width = cells;
    if (widthOrCode == LVSCW_AUTOSIZE_USEHEADER) {
        width = qMax(cells, header()->sectionSizeHint(column));
        if (column == columns - 1) {
            int others = 0;
            for (int c = 0; c < column; ++c)
                others += columnWidth(c);
            width = qMax(width, viewport()->width() - others);
        }
    }
    setColumnWidth(column, qMax(width, header()->minimumSectionSize()));
}

void PackListView::fillWithLastColumn()
{
    setColumnWidthBy(m_model->columnCount() - 1, LVSCW_AUTOSIZE_USEHEADER);
}

void PackListView::columnAutoAll()
{
    for (int c = 0; c < m_model->columnCount(); ++c)
        setColumnWidthBy(c, LVSCW_AUTOSIZE_USEHEADER);
}

void PackListView::columnMinAll()
{
    for (int c = 0; c < m_model->columnCount(); ++c)
        setColumnWidthBy(c, LVSCW_AUTOSIZE);
}

void PackListView::PackListSetMaxWidth(double allowanceTwips)
{
    const int dpi = logicalDpiX();
    const double twips = columnWidth(0) * 1440.0 / dpi + allowanceTwips / 2.0;
    setColumnWidth(0, qMax(0, int(std::lround(twips * dpi / 1440.0))));
    fillWithLastColumn();
}

bool PackListView::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        // Below the rows: the totals of the list (a row's tooltip comes from the model).
        const auto* help = static_cast<QHelpEvent*>(event);
        if (!indexAt(help->pos()).isValid()) {
            const QString totals = m_model->totalsToolTip();
            if (totals.isEmpty())
                QToolTip::hideText();
            else
                QToolTip::showText(help->globalPos(), totals, viewport());
            return true;
        }
    }
    const bool handled = QTreeView::viewportEvent(event);
    if (event->type() == QEvent::Resize && m_lastFills)
        fillWithLastColumn();
    return handled;
}

void PackListView::mousePressEvent(QMouseEvent* event)
{
    QTreeView::mousePressEvent(event);
    if (event->button() == Qt::RightButton)
        emit listRightButtonDown(event->globalPosition().toPoint());
}

void PackListView::mouseReleaseEvent(QMouseEvent* event)
{
    QTreeView::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton)
        emit listClicked();
}

void PackListView::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTreeView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        emit listDoubleClicked();
}

void PackListView::keyPressEvent(QKeyEvent* event)
{
    setFocus();
    emit listKeyDown();
    const bool menuKey = event->key() == Qt::Key_Menu ||
                         (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier);
    if (menuKey) {
        event->accept();
        emit listMenuKeyDown(menuKeyPosition());
        return;
    }
    QTreeView::keyPressEvent(event);
}

QPoint PackListView::menuKeyPosition() const
{
    // Just below the current row's text, or the top of the rows when there is none
    // (or it is scrolled out of sight).
    const QRect shown = viewport()->rect();
    const int current = m_list.currentRow();
    QRect row = current >= 1 ? visualRect(m_model->index(current - 1, 0)) : QRect();
    if (!row.isValid() || !shown.intersects(row))
        row = QRect(shown.topLeft(), QSize(shown.width(), 0));
    const QPoint at(row.left() + qMin(row.width(), fontMetrics().averageCharWidth() * 4), row.bottom());
    return viewport()->mapToGlobal(at);
}

} // namespace kt
