// The Pack List in the real main window: view and list in step, adding, drops, the commands.
#include "../support/TestFiles.h"
#include "ListFixture.h"
#include "packlist/ui/PackListDropTarget.h"
#include "platform/ui/QtFileDialogs.h"

#include <fcntl.h>
#include <unistd.h>

using namespace kt;

namespace {
enum AddFilter { Mpeg, Mp3, All }; // the Add dialog's filters, in their order
struct TypedNames
{
    QString typed;
    AddFilter filter;
    QString added;             // the files chosen, '|' between them, '@' the test's folder
    QString notFound = {};     // the names said not found, with "was" or "were"; the dialog stays open
    QStringList listedBy = {}; // a pattern: the list's filters then; the dialog stays open
};
struct DropCase // neither text nor addresses: the selected rows dragged
{
    bool text;
    QList<QUrl> urls;
    int row, pointerRow;      // 0: below the last row
    QString after, said = {}; // said: %1 the test's folder
};
// A list command, or the pop-up menu opened, on rows named 1..n with some selected, the first current.
struct ListCommand
{
    QString
        name; // an action, a button ("..._cmd"), keys on the list ("Ctrl+U", "Menu", "Del") or "right-click"
    int rows;
    QList<int> selected;
    QString after; // as the view shows the rows
    QStringList said;
    bool listFocused;             // else the focus stays where it was
    PackListCommandStates states; // afterwards: stale where the command does not refresh them
    int current = 0;              // the view's current row afterwards (0: not checked), the row right-clicked
};

// The list commands in their groups: menu and toolbar items, the buttons beside and below the list.
void checkCommands(MainWindow& w, const PackListCommandStates& states)
{
    const std::pair<bool, QString> groups[] = {
        {states.packAndSort, "PackMnu SortAscendingMnu SortDescendingMnu cToolbar1_Pack packlst_SortAsc_cmd "
                             "packlst_SortDes_cmd"},
        {states.selection,
         "SelectAllMnu DeselectAllMnu InvSelMnu packlst_SelectAll_cmd packlst_DeselectAll_cmd "
         "packlst_InvSel_cmd"},
        {states.remove, "RemoveMnu RemovePackWhatSelPopupMnu cToolbar1_Remove"},
        {states.move,
         "MoveUpMnu MoveDownMnu MoveUpPackWhatSelPopupMnu MoveDownPackWhatSelPopupMnu cToolbar1_Up "
         "cToolbar1_Down"},
        {states.view, "ViewMnu PlayMpegMnu"},
        {true, "AddMnu AddPackWhatSelPopupMnu cToolbar1_Add selposup_cmd selposdown_cmd"}};
    for (const auto& [on, names] : groups)
        for (const QString& name : names.split(' '))
            QVERIFY2(w.findChild<QObject*>(name)->property("enabled") == on, qPrintable(name));
}
} // namespace

class TestPackListWindow : public QObject, test::WindowFixture
{
    Q_OBJECT
    QString file(const QString& name) const { return m_dir.filePath(name); }
    bool enabled(const char* action) const { return m_w->action(QLatin1String(action))->isEnabled(); }
    bool listHasFocus() const { return QApplication::focusWidget() == view(); }
    QPushButton* button(const char* name) const { return m_w->findChild<QPushButton*>(QLatin1String(name)); }
    QString cell(int row, int column) const { return index(row, column).data().toString(); }
    QWidget* port() const { return view()->viewport(); }
    QPoint rowPoint(int row) const
    {
        return row ? view()->visualRect(index(row)).center() : QPoint(10, port()->height() - 3);
    }
    bool dropPending() const { return view()->findChild<PackListDropTarget*>()->state().itemDropPending(); }
    MainWindow& make(int n = 0, const QList<int>& selected = {}) { return window(), fill(n, selected); }
    // The rows' file names as the view shows them, "*" on those selected in the view.
    QString rows() const
    {
        QStringList out;
        for (int r = 1; r <= view()->packModel()->rowCount(); ++r) {
            if (cell(r, 1) != m_w->packList().row(r).videoSize)
                return QStringLiteral("cells out of step");
            out << QFileInfo(cell(r, 0)).fileName() +
                       (view()->selectionModel()->isRowSelected(r - 1) ? "*" : "");
        }
        return out.join(QLatin1Char(' '));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(QDir().mkpath(file("folder")) && QDir().mkpath(file("Vantu")));
        QVERIFY(test::writeFile(storeFile(), "[General]\nShowTod=0\n"));
        // A 352 x 240 sequence header, and files that are no MPEG at all.
        const QByteArray mpeg =
            QByteArray("\x00\x00\x01\xB3\x16\x00\xF0\x14\xFF\xFF\xE0\x00", 12) + QByteArray(64, '\0');
        for (const auto& [name, bytes] :
             {std::pair{"a.mpg", mpeg}, {"b.mpg", "not mpeg"}, {"c.mp3", "not mpeg"}, {"my\"clip.mpg", mpeg}})
            QVERIFY(test::writeFile(file(QLatin1String(name)), bytes));
        // A name that is not UTF-8: no QString can name the file.
        QVERIFY(::close(::creat(QFile::encodeName(file("bad")) + "\xff.mpg", 0600)) == 0);
    }
    void cleanup() { m_w.reset(); }

    // Adding through the dialog; a row's tooltip describes its file as it is now, below the rows the totals.
    void addThroughTheDialogAndToolTips()
    {
        MainWindow& w = make();
        button("packlst_SortAsc_cmd")->setFocus();
        w.AddMnu_Click(); // no answer queued: cancelled, yet the list takes the focus
        QVERIFY(listHasFocus() && !enabled("PackMnu"));
        const QString grows = file("grows.bin"), goes = file("goes.mpg");
        QVERIFY(test::writeFile(grows, "1234") && test::writeFile(goes, {}));
        // Folders and names that do not exist (a file gone since it was chosen) are skipped.
        m_dialogs->answerOpen({file("a.mpg"), file("folder"), file("gone.mpg"), QString(), grows, goes});
        m_dialogs->answerOpen({file("a.mpg")});
        w.action("AddMnu")->trigger();
        QCOMPARE(m_dialogs->openRequests().last().title,
                 QStringLiteral("Add Files... (multiple selection possible)"));
        QCOMPARE(rows(), QStringLiteral("a.mpg grows.bin goes.mpg"));
        QVERIFY(enabled("PackMnu") && listHasFocus());
        w.action("AddPackWhatSelPopupMnu")->trigger(); // the same file again: a second row
        QCOMPARE(rows(), QStringLiteral("a.mpg grows.bin goes.mpg a.mpg"));
        QVERIFY(m_boxes->asked().isEmpty());
        QVERIFY(!view()->header()->sectionsClickable()); // the header never sorts
        for (const auto& [name, text] : {std::pair{"packlst_SortAsc_cmd", "Sort file(s) in ascending order."},
                                         {"packlst_InvSel_cmd", "Inverse select all file(s) in Pack List"}}) {
            QPushButton* b = button(name);
            QCOMPARE(b->toolTip() + (QString(text).endsWith('.') ? "." : ""),
                     text); // tips drop the full stop
            QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), b->mapToGlobal(QPointF(2, 2)));
            QCoreApplication::sendEvent(b, &enter);
            QCOMPARE(m_w->statusText(), text);
        }
        const auto tip = [&](int row) { return index(row, 1).data(Qt::ToolTipRole).toString().split('\n'); };
        QCOMPARE(tip(1).mid(0, 3) << tip(1).last(),
                 QStringList({file("a.mpg"), "MPEG-1 video elementary stream",
                              "352 x 240, 29.97 frames per second", "Size: 76 bytes"}));
        QCOMPARE(tip(2), QStringList({grows, "unknown", "Duration: unknown", "Size: 4 bytes"}));
        QVERIFY(test::writeFile(grows, QByteArray(1500, 'x')) && QFile::remove(goes));
        QCOMPARE(tip(2).last(), "Size: 1,500 bytes");
        QCOMPARE(tip(3), QStringList({goes, "No such file or directory"}));
        QHelpEvent below(QEvent::ToolTip, rowPoint(0), port()->mapToGlobal(rowPoint(0)));
        QApplication::sendEvent(port(), &below);
        QCOMPARE(QToolTip::text(),
                 "Total duration: " + durationText(2 * *describeStream(file("a.mpg")).duration) +
                     " (2 files of unknown duration not counted)\nTotal size: 1,652 bytes");
    }

    // Typed names of files are added whatever the filter shows; names that name nothing are said.
    void typedNamesInTheAddDialog_data()
    {
        QTest::addColumn<TypedNames>("c");
        auto row = [](const char* name, const TypedNames& c) { QTest::newRow(name) << c; };
        row("one hidden by the filter, one shown", {"\"c.mp3\" \"a.mpg\"", Mpeg, "@/c.mp3|@/a.mpg"});
        row("a name with a quote alone", {"my\"clip.mpg", All, "@/my\"clip.mpg"});
        row("blanks around a name", {"  b.mpg ", All, "@/b.mpg"});
        row("a folder among files is skipped", {"\"folder\" \"b.mpg\"", All, "@/b.mpg"});
        row("a full path", {"\"" + file("c.mp3") + "\" \"a.mpg\"", Mpeg, "@/c.mp3|@/a.mpg"});
        row("a name that names nothing", {"\"a.mpg\" \"gone.mpg\"", Mpeg, {}, "'gone.mpg' was"});
        row("a quote cut wrongly", {"\"my\" \"clip.mpg\"", All, {}, "'my', 'clip.mpg' were"});
        row("patterns parted by ;", {"b*; c*", Mpeg, {}, {}, {"b*", "c*"}});
        row("a pattern in no folder", {"nosuch/*.mpg", All, {}, "'nosuch/*.mpg' was"});
    }
    void typedNamesInTheAddDialog()
    {
        QFETCH(TypedNames, c);
        test::ScriptedMessageBox boxes;
        AddFilesDialog dialog(nullptr, {addFilesDialogTitle(), mediaFileFilter(), m_dir.path()});
        dialog.selectNameFilter(dialog.nameFilters().at(c.filter));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto* listed = dialog.findChild<QAbstractItemView*>(QStringLiteral("listView"));
        QTRY_VERIFY(listed->model()->rowCount(listed->rootIndex()) >= 2);
        // Its list cannot show a name that is not UTF-8: a note under it does.
        QCOMPARE(dialog.findChild<QLabel*>("unlistedFilesNote")->text(),
                 "1 file here is not shown: its name is not valid UTF-8, so this program cannot open it: "
                 "'bad\ufffd.mpg'. Rename it to add it.");
        dialog.fileNameEdit()->setFocus();
        QTest::keyClicks(dialog.fileNameEdit(), c.typed);
        QTest::keyClick(dialog.fileNameEdit(), Qt::Key_Return);
        const QString said = c.notFound.isEmpty() ? QString()
                                                  : c.notFound + " not found in '" + m_dir.path() +
                                                        "'. Check the names; nothing has been added yet.";
        QCOMPARE(boxes.texts().join(""), said);
        QVERIFY(said.isEmpty() || boxes.asked()[0].style == 48);
        QTRY_COMPARE(dialog.isVisible(), !said.isEmpty() || !c.listedBy.isEmpty()); // left open to correct
        QCOMPARE(dialog.chosenFiles().join('|'), QString(c.added).replace('@', m_dir.path()));
        QVERIFY(c.listedBy.isEmpty() ||
                static_cast<QFileSystemModel*>(listed->model())->nameFilters() == c.listedBy);
    }

    // The Add and Save dialogs, opened by their keys, are modal to the main window and over it.
    void dialogsBelongToTheWindow()
    {
        for (auto keys : {QKeySequence(Qt::CTRL | Qt::Key_D), QKeySequence(Qt::CTRL | Qt::Key_P)}) {
            MainWindow& w = make(2);
            m_dialogs.reset();
            QtFileDialogs dialogs; // no owner given: the window at work
            installFileDialogs(&dialogs);
            w.setGeometry(20, 40, 300, 260); // away from the middle of the screen
            // What the dialog is to the window, read while it is open; then Escape closes it.
            QList<const QObject*> owners; // its parent widget, its window's transient parent
            bool modalOver = false;
            QTimer::singleShot(0, this, [&] {
                if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
                    owners = {dialog->parentWidget(), dialog->windowHandle()->transientParent()};
                    modalOver = dialog->windowModality() == Qt::WindowModal &&
                                w.frameGeometry().contains(dialog->frameGeometry().center());
                    QTest::keyClick(dialog, Qt::Key_Escape);
                }
            });
            QTest::keySequence(&w, keys);
            installFileDialogs(nullptr);
            QCOMPARE(owners, (QList<const QObject*>{&w, w.windowHandle()}));
            QVERIFY2(modalOver, "window-modal and over the window");
            QCOMPARE(rows(), QStringLiteral("1 2"));
            QVERIFY(m_boxes->asked().isEmpty());
        }
    }

    // Own rows move at once; a text or web address waits for the pointer to move over a row.
    void drops_data()
    {
        QTest::addColumn<DropCase>("c");
        auto row = [](const char* name, const DropCase& c) { QTest::newRow(name) << c; };
        const QString before = "1 2 3 4 5* 6 7*", moved = "1 5* 2 7* 3 4 6";
        const auto url = [this](const char* name) { return QUrl::fromLocalFile(file(name)); };
        const QUrl bad = QUrl::fromEncoded(url("bad").toEncoded() + "%FF.mpg"); // as a file manager sends it
        row("own rows below the last row", {false, {}, 0, 0, before});
        row("own rows onto row 2", {false, {}, 2, 0, moved});
        row("text, pointer over row 2", {true, {}, 3, 2, moved});
        row("text, pointer past the end", {true, {}, 3, 0, before});
        row("web address", {false, {QUrl("https://example.org/a.mpg")}, 3, 2, moved});
        row("a folder alone", {false, {url("folder")}, 3, 0, before});
        row("files, a folder",
            {false, {url("b.mpg"), url("folder"), url("a.mpg")}, 1, 0, before + " b.mpg a.mpg"});
        const QString notUtf8 = "1 file was not added: its name is not valid UTF-8, so this program cannot "
                                "open it:\n\n'%1/bad\ufffd.mpg'\n\nRename it and add it again.";
        row("a name not UTF-8 and a file", {false, {bad, url("b.mpg")}, 1, 0, before + " b.mpg", notUtf8});
    }
    void drops()
    {
        QFETCH(DropCase, c);
        make(7, {5, 7});
        std::unique_ptr<QMimeData> data(
            c.text || !c.urls.isEmpty()
                ? new QMimeData
                : view()->packModel()->mimeData(view()->selectionModel()->selectedIndexes()));
        if (c.text)
            data->setText(file("a.mpg"));
        if (!c.urls.isEmpty())
            data->setUrls(c.urls);
        button("packlst_InvSel_cmd")->setFocus();
        const QPoint onto = rowPoint(c.row);
        QDragEnterEvent enter(onto, Qt::CopyAction | Qt::MoveAction, data.get(), Qt::LeftButton, {});
        QCoreApplication::sendEvent(port(), &enter);
        QDropEvent drop(onto, Qt::CopyAction | Qt::MoveAction, data.get(), Qt::LeftButton, {});
        QCoreApplication::sendEvent(port(), &drop);
        QVERIFY(enter.isAccepted() && drop.isAccepted());
        QCOMPARE(drop.dropAction(), Qt::CopyAction);          // never a move: the view must not delete rows
        QVERIFY(listHasFocus() || !c.after.endsWith(".mpg")); // files added
        const bool waits = c.text || (c.urls.size() == 1 && !c.urls[0].isLocalFile());
        QCOMPARE(dropPending(), waits);
        if (waits) {
            QCOMPARE(rows(), QStringLiteral("1 2 3 4 5* 6 7*"));
            const QPoint at = rowPoint(c.pointerRow);
            QMouseEvent move(QEvent::MouseMove, at, port()->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                             Qt::NoModifier);
            QCoreApplication::sendEvent(port(), &move);
            QVERIFY(!dropPending());
        }
        QCOMPARE(rows(), c.after);
        QTRY_COMPARE(m_boxes->texts().join(""), QString(c.said).replace("%1", m_dir.path()));
    }

    // Commands leave the focus on the list; keys are reported before they act; the pop-up opens at the row.
    void listCommands_data()
    {
        QTest::addColumn<ListCommand>("c");
        auto row = [](const char* name, const ListCommand& c) { QTest::newRow(name) << c; };
        const PackListCommandStates all{true, true, true, true, true}, many{true, true, true, true, false},
            none{true, true, false, false, false};
        row("remove", {"RemoveMnu", 5, {2, 3}, "1 4* 5", {}, true, all});
        row("move up", {"selposup_cmd", 5, {3, 2}, "2* 3* 1 4 5", {}, true, many});
        row("nothing to swap", {"selposup_cmd", 5, {}, "1 2 3 4 5", {"Nothing to swap."}, false, none});
        row("ascending: no refresh", {"packlst_SortAsc_cmd", 3, {1}, "1 2 3", {}, true, all});
        row("descending", {"SortDescendingMnu", 3, {1}, "3 2 1", {}, true, none});
        row("descending button", {"packlst_SortDes_cmd", 3, {2}, "3 2 1", {}, true, none});
        row("inverse", {"packlst_InvSel_cmd", 3, {2}, "1* 2 3*", {}, true, many});
        row("select all", {"packlst_SelectAll_cmd", 1, {}, "1*", {}, true, {false, true, true, false, true}});
        row("deselect all", {"packlst_DeselectAll_cmd", 3, {2}, "1 2 3", {}, true, none});
        // The focus row goes with the moved row, so the next move starts from it.
        row("move up twice by keys", {"Ctrl+U, Ctrl+U", 5, {3}, "3* 1 2 4 5", {}, true, all, 1});
        row("select by keys: View refreshed first", {"Shift+Down", 4, {1}, "1* 2* 3 4", {}, true, all, 2});
        row("move down by keys", {"Ctrl+N", 4, {2}, "1 3 2* 4", {}, true, all, 3});
        row("remove by Delete", {"Del", 3, {2}, "1 3*", {}, true, all});
        row("Delete, nothing selected", {"Del", 3, {}, "1 2 3", {}, true, none});
        row("Ctrl+A: the window's Select All, not the list's",
            {"Ctrl+A", 3, {2}, "1* 2* 3*", {}, true, many});
        row("empty", {"", 0, {}, "", {}, true, {}}); // the Sort button, disabled, takes no focus
        row("one row, none selected", {"", 1, {}, "1", {}, true, {false, true}});
        row("right-click selects the row", {"right-click", 3, {}, "1 2* 3", {}, true, all, 2});
        row("right-click on one of two selected", {"right-click", 3, {1, 2}, "1* 2* 3", {}, true, many, 2});
        row("right-click moves the selection", {"right-click", 3, {1, 2}, "1 2 3*", {}, true, all, 3});
        row("right-click on the only row",
            {"right-click", 1, {}, "1*", {}, true, {false, true, true, false, true}, 1});
        row("Menu key at the current row", {"Menu", 3, {2}, "1 2* 3", {}, true, all, 2});
        row("Shift+F10 at the current row", {"Shift+F10", 3, {3, 1}, "1* 2 3*", {}, true, many, 3});
        row("Menu key, nothing selected", {"Menu", 2, {}, "1 2", {}, true, none});
    }
    void listCommands()
    {
        QFETCH(ListCommand, c);
        MainWindow& w = make(c.rows, c.selected);
        auto* popup = w.findChild<QMenu*>("PackWhatSelPopupMnu");
        const bool isButton = c.name.endsWith("_cmd"),
                   isKeys = c.name.contains('+') || c.name == "Menu" || c.name == "Del",
                   rightClick = c.name == "right-click";
        QWidget* before = isButton               ? button(qPrintable(c.name))
                          : isKeys || rightClick ? static_cast<QWidget*>(view())
                                                 : button("packlst_SortAsc_cmd");
        before->setFocus();
        int countAtKey = -1, countBefore = w.packList().selectedCount(); // keys are reported before they act
        connect(view(), &PackListView::listKeyDown, this, [&] { countAtKey = w.packList().selectedCount(); });
        if (isButton)
            button(qPrintable(c.name))->click();
        else if (rightClick)
            QTest::mousePress(port(), Qt::RightButton, {}, rowPoint(c.current));
        else if (isKeys)
            QTest::keySequence(view(), QKeySequence(c.name));
        else if (!c.name.isEmpty())
            w.action(c.name)->trigger();
        const bool pops = rightClick || c.name == "Menu" || c.name == "Shift+F10";
        QTRY_COMPARE(popup->isVisible(), pops);
        const QPoint at = popup->geometry().topLeft();
        checkCommands(w, c.states);
        popup->close();
        if (rightClick)
            QTest::mouseRelease(port(), Qt::RightButton, {}, rowPoint(c.current));
        else if (pops && c.current) {
            const QRect row = view()->visualRect(index(c.current));
            QVERIFY(QRect(port()->mapToGlobal(row.topLeft()), row.size()).adjusted(0, 0, -1, 2).contains(at));
        }
        QCOMPARE(rows(), c.after);
        QCOMPARE(m_boxes->texts(), c.said);
        QCOMPARE(QApplication::focusWidget(), c.listFocused ? static_cast<QWidget*>(view()) : before);
        QVERIFY(!isKeys || c.name == "Del" || countAtKey == countBefore); // Delete is the window's shortcut
        QVERIFY(!c.current || view()->currentIndex() == index(c.current));
    }
};

QTEST_MAIN(TestPackListWindow)
#include "tst_packlistwindow.moc"
