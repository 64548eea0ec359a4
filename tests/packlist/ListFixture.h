#pragma once
// Lists written as "1 2* 3": the original row numbers in order, "*" on the selected ones. Row k
// holds paths[k - 1] (or "/m/clipNN.mpg") with the cells "wNN" and "fNN", so a row's cells can be
// seen to go with it.
#include "packlist/PackList.h"

#include <QStringList>

namespace kt::test {

inline QString pathOf(int k, const QStringList& paths)
{
    return paths.value(k - 1, QStringLiteral("/m/clip%1.mpg").arg(k, 2, 10, QLatin1Char('0')));
}

inline PackList makeList(const QString& rows, int current = 0, const QStringList& paths = {})
{
    PackList list;
    const QStringList tokens = rows.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (int k = 1; k <= tokens.size(); ++k)
        list.append({pathOf(k, paths), QStringLiteral("w%1").arg(k), QStringLiteral("f%1").arg(k),
                     tokens[k - 1].endsWith('*')});
    list.setCurrentRow(current);
    return list;
}

// "?" where cells left their path, a note when the selected count is out of step with the flags.
inline QString state(const PackList& list, const QStringList& paths = {})
{
    QStringList out;
    int selected = 0;
    for (const PackListRow& r : list.rows()) {
        const int k = r.videoSize.mid(1).toInt();
        const bool intact = r.frameRate == QStringLiteral("f%1").arg(k) && r.path == pathOf(k, paths);
        out << (intact ? QString::number(k) : QStringLiteral("?")) + (r.selected ? "*" : "");
        selected += r.selected;
    }
    return out.join(QLatin1Char(' ')) + (selected == list.selectedCount() ? "" : " (count out of step)");
}

} // namespace kt::test

#ifdef QT_WIDGETS_LIB // the window tests' fixture
#include "../support/ScriptedSeams.h"
#include "app/StartupValues.h"
#include "app/ui/MainWindow.h"
#include "packlist/ui/PackListModel.h"
#include "packlist/ui/PackListView.h"

#include <QtTest>
#include <QtWidgets>

namespace kt::test {

// Main windows over a settings store in a temporary folder, with scripted seams.
class WindowFixture
{
protected:
    QTemporaryDir m_dir;
    std::optional<ScriptedMessageBox> m_boxes; // emplace() uninstalls the old one first
    std::optional<ScriptedFileDialogs> m_dialogs;
    std::optional<ScriptedShell> m_shell;
    std::unique_ptr<MainWindow> m_w; // destroyed before the seams

    QString storeFile() const { return m_dir.filePath(QStringLiteral("Vantu/KlivaTARN.conf")); }
    PackListView* view() const { return m_w->packListView(); }
    QModelIndex index(int row, int column = 0) const { return view()->packModel()->index(row - 1, column); }
    MainWindow& window(bool shown = true, bool normalDpi = true, bool xp = false)
    {
        m_w.reset();
        m_boxes.emplace();
        m_dialogs.emplace();
        m_shell.emplace();
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
        setStartupValues({xp ? m_dir.path() : QStringLiteral("/nonexistent"), normalDpi, xp, {100, -50}});
        m_w = std::make_unique<MainWindow>();
        m_w->load();
        if (shown) {
            m_w->show();
            m_w->activateWindow();
            if (!QTest::qWaitForWindowActive(m_w.get()))
                qWarning("window not active: focus checks may fail");
        }
        return *m_w;
    }
    // Rows /v/1 ... /v/n with cells "w1" ..., the given ones selected through the view, the first current.
    MainWindow& fill(int n, const QList<int>& selected = {})
    {
        m_w->packList().clear();
        for (int k = 1; k <= n; ++k)
            m_w->packList().append({QStringLiteral("/v/%1").arg(k), QStringLiteral("w%1").arg(k), {}, false});
        view()->syncFromList();
        QItemSelectionModel* sel = view()->selectionModel();
        for (int r : selected)
            sel->select(index(r), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        if (!selected.isEmpty())
            sel->setCurrentIndex(index(selected[0]), QItemSelectionModel::NoUpdate);
        m_w->RefreshPackListCommands();
        return *m_w;
    }
};

} // namespace kt::test
#endif
