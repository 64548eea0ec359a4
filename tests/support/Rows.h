#pragma once
// A Qt Test table whose rows are structs: one column, one row per case.
#include <QTest>
#include <initializer_list>
#include <utility>

namespace kt::test {

template <typename Row> void addRows(std::initializer_list<std::pair<const char*, Row>> rows)
{
    QTest::addColumn<Row>("row");
    for (const auto& [name, row] : rows)
        QTest::newRow(name) << row;
}

} // namespace kt::test
