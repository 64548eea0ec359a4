#pragma once
// Drag and drop on the Pack List view.
//
// Files dropped from a file manager (local file URLs) are appended, folders skipped;
// the list then takes the focus and the window refreshes its commands. The view's own
// selected rows can be dragged and dropped on a row, which moves them there. Any other
// data adds nothing and leaves the reorder pending until the pointer next moves over
// the list, which then completes it at the row under the pointer.
//
// Works through an event filter on the view's viewport, so the view itself needs no
// drag-and-drop code of its own.
#include "packlist/AddFiles.h"

#include <QObject>
#include <QPoint>
#include <functional>

class QDropEvent;

namespace kt {

class PackListView;

class PackListDropTarget : public QObject
{
    Q_OBJECT
public:
    // Enables dragging rows and dropping on `view`; refreshCommands runs after files
    // were dropped. The view owns the target.
    PackListDropTarget(PackListView* view, StreamInfoSource info, std::function<void()> refreshCommands);

    const PackListDrop& state() const { return m_drop; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void dropped(QDropEvent* event);
    // The row under a point of the viewport; below the last row: count + 1.
    int rowAt(const QPoint& pos) const;
    void completeAt(int row);
    void scrollNearEdges(const QPoint& pos);

    PackListView* m_view;
    StreamInfoSource m_info;
    std::function<void()> m_refreshCommands;
    PackListDrop m_drop;
};

} // namespace kt
