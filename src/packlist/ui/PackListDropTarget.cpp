#include "PackListDropTarget.h"

#include "PackListModel.h"
#include "PackListView.h"

#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTimer>

namespace kt {

PackListDropTarget::PackListDropTarget(PackListView* view, StreamInfoSource info,
                                       std::function<void()> refreshCommands)
    : QObject(view), m_view(view), m_info(std::move(info)), m_refreshCommands(std::move(refreshCommands))
{
    view->setDragEnabled(true);
    view->setAcceptDrops(true);
    view->viewport()->setAcceptDrops(true);
    view->setDragDropMode(QAbstractItemView::DragDrop);
    // A copy as far as Qt is concerned: the rows are moved here, and a "move" would
    // make the view try to remove the dragged rows from the model afterwards.
    view->setDefaultDropAction(Qt::CopyAction);
    view->setDropIndicatorShown(false);
    // Pointer movement without a button completes a pending reorder.
    view->viewport()->setMouseTracking(true);
    view->viewport()->installEventFilter(this);
}

bool PackListDropTarget::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_view->viewport())
        return false;
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        // Everything may be dropped here: what is not a file list completes a reorder.
        auto* e = static_cast<QDragMoveEvent*>(event);
        e->setDropAction(Qt::CopyAction);
        e->accept();
        if (event->type() == QEvent::DragMove)
            scrollNearEdges(e->position().toPoint());
        return true;
    }
    case QEvent::Drop:
        dropped(static_cast<QDropEvent*>(event));
        return true;
    case QEvent::MouseMove:
        if (m_drop.itemDropPending())
            completeAt(rowAt(static_cast<QMouseEvent*>(event)->position().toPoint()));
        return false; // the view still sees the movement
    default:
        return false;
    }
}

void PackListDropTarget::dropped(QDropEvent* event)
{
    event->setDropAction(Qt::CopyAction);
    event->accept();
    PackList& list = m_view->list();
    const int firstNew = list.count() + 1;
    const AppendedFiles appended = m_drop.drop(list, *event->mimeData(), m_info);
    if (!m_drop.itemDropPending()) { // a file list
        if (appended.added > 0)
            m_view->rowsAppended(firstNew);
        m_view->setFocus(Qt::OtherFocusReason);
        if (m_refreshCommands)
            m_refreshCommands();
        // Said once the drop is over: a modal box inside it would keep the program the
        // files came from waiting for the drop's end.
        if (!appended.unreachable.isEmpty())
            QTimer::singleShot(0, this, [names = appended.unreachable] { tellUnreachableNames(names); });
        return;
    }
    // The list's own rows: the pointer is on the target row now, so finish at once
    // rather than wait for it to move.
    const bool ownRows =
        event->source() == m_view || event->mimeData()->hasFormat(m_view->packModel()->mimeTypes().value(0));
    if (ownRows)
        completeAt(rowAt(event->position().toPoint()));
}

int PackListDropTarget::rowAt(const QPoint& pos) const
{
    const QModelIndex index = m_view->indexAt(pos);
    return index.isValid() ? index.row() + 1 : m_view->list().count() + 1;
}

void PackListDropTarget::completeAt(int row)
{
    if (m_drop.completeAt(m_view->list(), row))
        m_view->syncFromList();
}

void PackListDropTarget::scrollNearEdges(const QPoint& pos)
{
    // Dragging close to the top or bottom edge scrolls a row at a time.
    const int margin = m_view->fontMetrics().height();
    QScrollBar* bar = m_view->verticalScrollBar();
    if (pos.y() < margin)
        bar->setValue(bar->value() - bar->singleStep());
    else if (pos.y() > m_view->viewport()->height() - margin)
        bar->setValue(bar->value() + bar->singleStep());
}

} // namespace kt
