#pragma once
// The Pack List view, `PackList_ListView`: three columns, multiple selection, a flat
// header that cannot be clicked, and the list's own reactions to the mouse and keys.
//
// The view and the PackList agree at all times on the selection and the current row:
// what the user selects is written into the rows' flags at once, and after an
// operation has changed the list, syncFromList() (or rowsAppended()) shows it.
#include "packlist/PackList.h"

#include <QTreeView>

namespace kt {

class PackListModel;

// Column widths for setColumnWidthBy (the list-view sizing codes).
inline constexpr int LVSCW_AUTOSIZE = -1;           // fit the cells
inline constexpr int LVSCW_AUTOSIZE_USEHEADER = -2; // fit cells and header; the last column fills the rest

class PackListView : public QTreeView
{
    Q_OBJECT
public:
    explicit PackListView(PackList& list, QWidget* parent = nullptr);

    PackList& list() { return m_list; }
    PackListModel* packModel() const { return m_model; }

    // The list changed (rows, cells, selection or current row): show it all.
    void syncFromList();
    // Only selection flags or the current row changed.
    void syncSelectionFromList();
    // Rows were appended from `firstNew` (1-based); their flags are shown too.
    void rowsAppended(int firstNew);

    // Column widths by pixel count or by a sizing code.
    void setColumnWidthBy(int column, int widthOrCode);
    // Widens the first column by half the allowance (twips), then lets the last
    // column fill the rest of the list.
    void PackListSetMaxWidth(double widthAllowanceTwips);
    void fillWithLastColumn(); // the last column reaches the right edge
    void columnAutoAll();      // every column fit to cells and header
    void columnMinAll();       // every column fit to its cells

signals:
    // The list's own events, for the window to react to.
    void listClicked();
    void listKeyDown(); // before the list acts on the key
    void listRightButtonDown(const QPoint& globalPos);
    // The Menu key or Shift+F10: the pop-up belongs at the current row.
    void listMenuKeyDown(const QPoint& globalPos);
    void listDoubleClicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    void onSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);
    void onCurrentChanged(const QModelIndex& current);
    QPoint menuKeyPosition() const;

    PackList& m_list;
    PackListModel* m_model;
    bool m_syncing = false;
    // The last column was last sized to fill the list: keep it so when a scroll bar
    // comes or goes and the visible width changes without a resize of the window.
    bool m_lastFills = false;
};

} // namespace kt
