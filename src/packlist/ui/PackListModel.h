#pragma once
// A table model over kt::PackList: three text columns, one row per Pack List entry.
//
// The PackList is the store; this adapter only presents it. After the rows change in
// the list, tell the model which kind of change it was so the view can keep up: an
// append announces only the new rows, any other change re-reads the whole list (cheap
// even at 32,767 rows, as nothing is copied). A row's tooltip is its file's details, read
// when it is first asked for (FileDetails.h).
#include "packlist/FileDetails.h"
#include "packlist/PackList.h"

#include <QAbstractTableModel>

namespace kt {

class PackListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit PackListModel(PackList& list, QObject* parent = nullptr);

    PackList& list() { return m_list; }
    const PackList& list() const { return m_list; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Rows were appended to the list from position `firstNew` (1-based) to its end.
    void rowsAppended(int firstNew);
    // Anything else changed (rows removed, moved, sorted, cells rewritten).
    void reload();

    static QStringList headers(); // "Filename", "Video Size", "Frame Rate"

    // The tooltip of the list's empty area: every row's file counted (empty: no rows).
    QString totalsToolTip() const;

private:
    PackList& m_list;
    mutable FileDetailsCache m_details; // filled as tooltips are asked for
    int m_shownRows = 0;                // rows the view knows of
};

} // namespace kt
