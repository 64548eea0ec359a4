// Sorting the Pack List by path: two recursive quicksorts over parallel arrays.
#include "PackListOps.h"
#include "platform/MessageBox.h"

#include <QCoreApplication>
#include <string_view>
#include <utility>

namespace kt {
namespace {

// Binary order: UTF-16 code unit by code unit, a prefix first. (Not code points: a
// character beyond U+FFFF sorts by its high surrogate, before U+E000..U+FFFF.)
int compareBinary(const QString& a, const QString& b)
{
    const std::u16string_view va(reinterpret_cast<const char16_t*>(a.utf16()), size_t(a.size()));
    const std::u16string_view vb(reinterpret_cast<const char16_t*>(b.utf16()), size_t(b.size()));
    return va.compare(vb);
}

// (low + high) / 2 rounded to the nearest integer, a half to the even one.
int pivotIndex(int low, int high)
{
    const int sum = low + high;
    const int half = sum / 2; // both indices are >= 0
    if (sum % 2 == 0)
        return half;
    return (half % 2 == 0) ? half : half + 1;
}

void exchangeAt(QStringList& paths, QStringList& sizes, QStringList& rates, int i, int j)
{
    paths.swapItemsAt(i, j);
    sizes.swapItemsAt(i, j);
    rates.swapItemsAt(i, j);
}

// `before(a, b)` is the order's "a comes before b". A range of at most one element is
// already sorted; the recursion also starts from any low..high the caller gives.
template <typename Before>
void quickSort(QStringList& paths, QStringList& sizes, QStringList& rates, int low, int high,
               const Before& before)
{
    if (low >= high)
        return; // what the passes would leave anyway; also keeps an empty range in bounds
    int i = low;
    int j = high;
    const QString pivot = paths[pivotIndex(low, high)];
    while (i <= j) {
        while (before(paths[i], pivot) && i < high)
            ++i;
        while (before(pivot, paths[j]) && j > low)
            --j;
        if (i <= j) {
            exchangeAt(paths, sizes, rates, i, j);
            ++i;
            --j;
        }
    }
    if (low < j)
        quickSort(paths, sizes, rates, low, j, before);
    if (i < high)
        quickSort(paths, sizes, rates, i, high, before);
}

bool sortList(PackList& list, bool ascending)
{
    if (list.isEmpty()) {
        MsgBox(QCoreApplication::translate("kt::PackList", "Nothing to sort."), MB_ICONEXCLAMATION);
        return false;
    }
    // The three arrays of the rows, index k for row k + 1.
    const int n = list.count();
    QStringList paths, sizes, rates;
    paths.reserve(n);
    sizes.reserve(n);
    rates.reserve(n);
    for (const PackListRow& r : list.rows()) {
        paths << r.path;
        sizes << r.videoSize;
        rates << r.frameRate;
    }
    if (ascending)
        QuickSortAscending(paths, sizes, rates, 0, n - 1);
    else
        QuickSortDescending(paths, sizes, rates, 0, n - 1);

    // The rows come back new: none selected, no focus mark.
    QVector<PackListRow> rows;
    rows.reserve(n);
    for (int k = 0; k < n; ++k)
        rows.push_back({paths[k], sizes[k], rates[k], false});
    list.setRows(std::move(rows));
    list.setCurrentRow(0);
    return true;
}

} // namespace

void QuickSortAscending(QStringList& paths, QStringList& sizes, QStringList& rates, int low, int high)
{
    quickSort(paths, sizes, rates, low, high,
              [](const QString& a, const QString& b) { return compareBinary(a, b) < 0; });
}

void QuickSortDescending(QStringList& paths, QStringList& sizes, QStringList& rates, int low, int high)
{
    quickSort(paths, sizes, rates, low, high,
              [](const QString& a, const QString& b) { return compareBinary(a, b) > 0; });
}

bool SortAscending(PackList& list)
{
    return sortList(list, true);
}

bool SortDescending(PackList& list)
{
    return sortList(list, false);
}

} // namespace kt
