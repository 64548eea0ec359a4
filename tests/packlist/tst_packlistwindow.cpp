// The Pack List in the real main window, driven through its actions, buttons and viewport
// events: adding, drops, dragging rows, and the commands with their focus and refresh.
#include "../support/ScriptedSeams.h"
#include "app/MainWindow.h"
#include "app/StartupValues.h"
#include "packlist/ui/PackListDropTarget.h"
#include "packlist/ui/PackListModel.h"
#include "packlist/ui/PackListView.h"
#include "platform/ui/QtFileDialogs.h"

#include <QAbstractItemView>
#include <QAction>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QtTest>

using namespace kt;

namespace {
// The Add dialog's filters, in their order.
enum class AddFilter { Mpeg, Mp3, All };

// Names typed into the Add dialog and what comes of them.
struct TypedNames
{
    QString typed;
    AddFilter filter;
    QStringList added; // file names in the folder, in order
    QString notFound;  // non-empty: the dialog stays open and says this name was not found
};

// A list command run from the menu bar or a button below the list, on rows named 1..n.
enum class Via { Menu, Button };
struct ListCommand
{
    Via via;
    const char* name; // the action or the button
    int rows;
    QList<int> selected;
    QString after;    // the rows as the view then shows them
    QStringList said; // messages
    bool listFocused; // else the focus stays where it was
    bool viewEnabled; // View needs one selected row: stale when the command does not refresh
};
} // namespace

Q_DECLARE_METATYPE(TypedNames)
Q_DECLARE_METATYPE(ListCommand)

class TestPackListWindow : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    std::unique_ptr<MainWindow> m_w;
    std::unique_ptr<test::ScriptedMessageBox> m_boxes;
    std::unique_ptr<test::ScriptedFileDialogs> m_dialogs;

    QString file(const QString& name) const { return m_dir.filePath(name); }
    bool enabled(const char* action) const { return m_w->action(QLatin1String(action))->isEnabled(); }
    bool listHasFocus() const { return QApplication::focusWidget() == m_w->packListView(); }
    QPushButton* button(const char* name) const { return m_w->findChild<QPushButton*>(QLatin1String(name)); }
    PackListView* view() const { return m_w->packListView(); }
    bool dropPending() const { return view()->findChild<PackListDropTarget*>()->state().itemDropPending(); }

    // A shown window whose list holds the paths (/v/1 ... /v/n for a number), the given rows
    // selected in the view.
    MainWindow& make(QStringList paths = {}, const QList<int>& selected = {})
    {
        m_boxes = std::make_unique<test::ScriptedMessageBox>();
        m_dialogs = std::make_unique<test::ScriptedFileDialogs>();
        m_w = std::make_unique<MainWindow>();
        m_w->load();
        m_w->show();
        if (!QTest::qWaitForWindowActive(m_w.get()))
            qWarning("window not active: focus checks may fail");
        for (const QString& p : paths)
            m_w->packList().append({p, QStringLiteral("w ") + p, QStringLiteral("f ") + p, false});
        view()->syncFromList();
        select(selected);
        return *m_w;
    }
    MainWindow& make(int n, const QList<int>& selected = {})
    {
        QStringList paths;
        for (int k = 1; k <= n; ++k)
            paths << QStringLiteral("/v/%1").arg(k);
        return make(paths, selected);
    }
    // Selects through the view, as clicks would, the first row current.
    void select(const QList<int>& rows)
    {
        QItemSelectionModel* sel = view()->selectionModel();
        sel->clearSelection();
        for (int r : rows)
            sel->select(view()->packModel()->index(r - 1, 0),
                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
        if (!rows.isEmpty())
            sel->setCurrentIndex(view()->packModel()->index(rows[0] - 1, 0), QItemSelectionModel::NoUpdate);
        m_w->RefreshPackListCommands();
    }
    // The rows' file names as the view shows them, "*" on those selected in the view.
    QString rows() const
    {
        const PackListModel* model = view()->packModel();
        QStringList out;
        for (int r = 0; r < model->rowCount(); ++r) {
            if (model->index(r, 1).data().toString() != m_w->packList().row(r + 1).videoSize)
                return QStringLiteral("cells out of step");
            out << QFileInfo(model->index(r, 0).data().toString()).fileName() +
                       (view()->selectionModel()->isRowSelected(r) ? QStringLiteral("*") : QString());
        }
        return out.join(QLatin1Char(' '));
    }
    void sendDrop(QMimeData* data, int row) // row 0: below the last row
    {
        const QPoint at = row >= 1 ? view()->visualRect(view()->packModel()->index(row - 1, 0)).center()
                                   : QPoint(10, view()->viewport()->height() - 3);
        QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(view()->viewport(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(view()->viewport(), &drop);
        QVERIFY(drop.isAccepted());
        QCOMPARE(drop.dropAction(), Qt::CopyAction); // never a move: the view must not delete rows
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        StartupValues v;
        v.programDir = QStringLiteral("/nonexistent");
        v.normalDpi = true;
        setStartupValues(v);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, file("config"));
        QVERIFY(QDir().mkpath(file("config/Vantu")) && QDir().mkpath(file("folder")));
        QFile conf(file("config/Vantu/KlivaTARN.conf"));
        QVERIFY(conf.open(QIODevice::WriteOnly));
        conf.write("[General]\nShowTod=0\n");
        // A 352 x 240 sequence header, and files that are no MPEG at all.
        const QByteArray mpeg =
            QByteArray("\x00\x00\x01\xB3\x16\x00\xF0\x14\xFF\xFF\xE0\x00", 12) + QByteArray(64, '\0');
        const std::pair<const char*, QByteArray> files[] = {
            {"a.mpg", mpeg}, {"b.mpg", "not mpeg"}, {"c.mp3", "not mpeg"}, {"my\"clip.mpg", mpeg}};
        for (const auto& [name, bytes] : files) {
            QFile f(file(QLatin1String(name)));
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
        }
    }

    void cleanup()
    {
        m_w.reset();
        m_dialogs.reset();
        m_boxes.reset();
    }

    void addThroughTheDialog()
    {
        MainWindow& w = make();
        button("packlst_SortAsc_cmd")->setFocus();
        w.AddMnu_Click(); // no answer queued: cancelled, yet the list takes the focus
        QVERIFY(listHasFocus());
        QVERIFY(!enabled("PackMnu"));
        // Folders and names that do not exist (a file gone since it was chosen) are skipped.
        m_dialogs->answerOpen(
            {file("a.mpg"), file("folder"), file("gone.mpg"), QString(), file("b.mpg"), file("c.mp3")});
        m_dialogs->answerOpen({file("a.mpg")});

        w.action("AddMnu")->trigger();

        QCOMPARE(m_dialogs->openRequests().size(), 2);
        QCOMPARE(m_dialogs->openRequests()[1].title,
                 QStringLiteral("Add Files... (multiple selection possible)"));
        QCOMPARE(m_dialogs->openRequests()[1].filter, mediaFileFilter());
        QVERIFY(m_dialogs->openRequests()[1].initialDir.isEmpty());
        QCOMPARE(rows(), QStringLiteral("a.mpg b.mpg c.mp3"));
        QCOMPARE(w.packList().path(1), file("a.mpg"));
        const PackListModel* model = view()->packModel();
        QCOMPARE(model->index(0, 1).data().toString(), QStringLiteral("352 x 240"));
        QCOMPARE(model->index(2, 2).data().toString(), QStringLiteral("not available"));
        QVERIFY(enabled("PackMnu") && enabled("SortAscendingMnu"));
        QVERIFY(listHasFocus());

        w.action("AddPackWhatSelPopupMnu")->trigger(); // the same file again: a second row
        QCOMPARE(rows(), QStringLiteral("a.mpg b.mpg c.mp3 a.mpg"));
        QVERIFY(m_boxes->asked().isEmpty());
    }

    // The real dialog, typed into: every typed name of a file is added whatever the filter
    // shows, names may contain `"`, and a name that names nothing is said, not dropped.
    void typedNamesInTheAddDialog_data()
    {
        QTest::addColumn<TypedNames>("c");
        QTest::newRow("one hidden by the filter, one shown")
            << TypedNames{"\"c.mp3\" \"a.mpg\"", AddFilter::Mpeg, {"c.mp3", "a.mpg"}, {}};
        QTest::newRow("shown first, hidden second")
            << TypedNames{"\"b.mpg\" \"c.mp3\"", AddFilter::Mpeg, {"b.mpg", "c.mp3"}, {}};
        QTest::newRow("only a hidden one") << TypedNames{"c.mp3", AddFilter::Mpeg, {"c.mp3"}, {}};
        QTest::newRow("mp3 filter, mpeg typed")
            << TypedNames{"\"a.mpg\" \"c.mp3\" \"b.mpg\"", AddFilter::Mp3, {"a.mpg", "c.mp3", "b.mpg"}, {}};
        QTest::newRow("a name with a quote in a list")
            << TypedNames{"\"a.mpg\" \"my\"clip.mpg\"", AddFilter::Mpeg, {"a.mpg", "my\"clip.mpg"}, {}};
        QTest::newRow("a name with a quote alone")
            << TypedNames{"my\"clip.mpg", AddFilter::All, {"my\"clip.mpg"}, {}};
        QTest::newRow("a folder among files is skipped")
            << TypedNames{"\"folder\" \"b.mpg\"", AddFilter::All, {"b.mpg"}, {}};
        QTest::newRow("a full path") << TypedNames{
            "\"" + file("c.mp3") + "\" \"a.mpg\"", AddFilter::Mpeg, {"c.mp3", "a.mpg"}, {}};
        QTest::newRow("a name that names nothing")
            << TypedNames{"\"a.mpg\" \"gone.mpg\"", AddFilter::Mpeg, {}, "gone.mpg"};
        QTest::newRow("a quote cut wrongly") << TypedNames{"\"my\" \"clip.mpg\"", AddFilter::All, {}, "my"};
    }
    void typedNamesInTheAddDialog()
    {
        QFETCH(TypedNames, c);
        test::ScriptedMessageBox boxes;
        FileDialogRequest request{addFilesDialogTitle(), mediaFileFilter(), m_dir.path()};
        AddFilesDialog dialog(nullptr, request);
        QCOMPARE(dialog.nameFilters().size(), 3);
        dialog.selectNameFilter(dialog.nameFilters().at(int(c.filter)));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        // Once the folder is listed, the dialog selects the typed names that the filter shows.
        auto* listed = dialog.findChild<QAbstractItemView*>(QStringLiteral("listView"));
        QVERIFY(listed);
        QTRY_VERIFY(listed->model()->rowCount(listed->rootIndex()) >= 2);
        QLineEdit* edit = dialog.fileNameEdit();
        QVERIFY(edit);
        edit->setFocus();
        QTest::keyClicks(edit, c.typed);
        QTest::keyClick(edit, Qt::Key_Return);
        if (!c.notFound.isEmpty()) {
            QVERIFY(dialog.isVisible());
            QCOMPARE(boxes.asked().size(), 1);
            QVERIFY2(boxes.texts().first().contains("'" + c.notFound + "'"),
                     qPrintable(boxes.texts().first()));
            QCOMPARE(boxes.asked().first().style, 48);
            QVERIFY(dialog.chosenFiles().isEmpty());
            dialog.reject();
            return;
        }
        QTRY_VERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QStringList expected;
        for (const QString& name : c.added)
            expected << file(name);
        QCOMPARE(dialog.chosenFiles(), expected);
        QVERIFY(boxes.asked().isEmpty());
    }

    void typedFileNamesSplit()
    {
        const std::pair<QString, QStringList> cases[] = {
            {"", {}},
            {"  clip.mpg ", {"clip.mpg"}},
            {"\"a b.mpg\"  \"c.mp3\"", {"a b.mpg", "c.mp3"}},
            {"\"x\"y.mpg\"", {"x\"y.mpg"}},
            {"\"only-open.mpg", {"\"only-open.mpg"}},
            {"\"\" \"a.mpg\"", {"a.mpg"}},
        };
        for (const auto& [typed, names] : cases)
            QVERIFY2(typedFileNames(typed) == names, qPrintable(typed));
    }

    void dropOfFileUrls()
    {
        make(1);
        button("packlst_InvSel_cmd")->setFocus();
        QVERIFY(!enabled("PackMnu"));
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(file("b.mpg")), QUrl::fromLocalFile(file("folder")),
                      QUrl::fromLocalFile(file("a.mpg"))});

        sendDrop(&data, 1);

        QCOMPARE(rows(), QStringLiteral("1 b.mpg a.mpg"));
        QCOMPARE(view()->packModel()->index(2, 1).data().toString(), QStringLiteral("352 x 240"));
        QVERIFY(listHasFocus());
        QVERIFY(enabled("PackMnu"));
        QVERIFY(!dropPending());
    }

    void dropOfPlainTextWaitsForThePointer()
    {
        make(7, {5, 7});
        QMimeData data;
        data.setText(file("a.mpg"));

        sendDrop(&data, 3);
        QCOMPARE(rows(), QStringLiteral("1 2 3 4 5* 6 7*"));
        QVERIFY(dropPending());

        // The next pointer movement over the list finishes the reorder at the row under it.
        const QPoint over2 = view()->visualRect(view()->packModel()->index(1, 0)).center();
        QMouseEvent move(QEvent::MouseMove, over2, view()->viewport()->mapToGlobal(over2), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(view()->viewport(), &move);
        QVERIFY(!dropPending());
        QCOMPARE(rows(), QStringLiteral("1 5* 2 7* 3 4 6"));
    }

    void dragRowsOntoARow()
    {
        make(7, {5, 7});
        for (const auto& [target, after] :
             {std::pair{0, "1 2 3 4 5* 6 7*"}, std::pair{2, "1 5* 2 7* 3 4 6"}}) {
            // What the view itself puts on the drag for its selected rows; 0 is below the last row.
            std::unique_ptr<QMimeData> data(
                view()->packModel()->mimeData(view()->selectionModel()->selectedIndexes()));
            sendDrop(data.get(), target);
            QCOMPARE(rows(), QLatin1String(after));
            QVERIFY(!dropPending());
        }
    }

    void listCommands_data()
    {
        const auto B = Via::Button, M = Via::Menu;
        QTest::addColumn<ListCommand>("c");
        QTest::newRow("remove") << ListCommand{M, "RemoveMnu", 5, {2, 3}, "1 4* 5", {}, true, true};
        QTest::newRow("remove all") << ListCommand{M, "RemoveMnu", 3, {1, 2, 3}, "", {}, true, false};
        QTest::newRow("move up") << ListCommand{B, "selposup_cmd", 5, {3, 2}, "2* 3* 1 4 5", {}, true, false};
        QTest::newRow("move down") << ListCommand{M, "MoveDownMnu", 4, {3}, "1 2 4 3*", {}, true, true};
        QTest::newRow("nothing to swap")
            << ListCommand{B, "selposup_cmd", 5, {}, "1 2 3 4 5", {"Nothing to swap."}, false, false};
        QTest::newRow("ascending: no refresh")
            << ListCommand{B, "packlst_SortAsc_cmd", 3, {1}, "1 2 3", {}, true, true};
        QTest::newRow("descending") << ListCommand{M, "SortDescendingMnu", 3, {1}, "3 2 1", {}, true, false};
        QTest::newRow("descending button")
            << ListCommand{B, "packlst_SortDes_cmd", 3, {2}, "3 2 1", {}, true, false};
        QTest::newRow("inverse") << ListCommand{B, "packlst_InvSel_cmd", 3, {2}, "1* 2 3*", {}, true, false};
        QTest::newRow("select all") << ListCommand{B, "packlst_SelectAll_cmd", 1, {}, "1*", {}, true, true};
        QTest::newRow("deselect all")
            << ListCommand{B, "packlst_DeselectAll_cmd", 3, {2}, "1 2 3", {}, true, false};
    }
    void listCommands()
    {
        QFETCH(ListCommand, c);
        MainWindow& w = make(c.rows, c.selected);
        QWidget* before = c.via == Via::Button ? button(c.name) : button("packlst_SortAsc_cmd");
        before->setFocus();
        if (c.via == Via::Button)
            button(c.name)->click();
        else
            w.action(QLatin1String(c.name))->trigger();
        QCOMPARE(rows(), c.after);
        QCOMPARE(m_boxes->texts(), c.said);
        QCOMPARE(QApplication::focusWidget(), c.listFocused ? static_cast<QWidget*>(view()) : before);
        QCOMPARE(enabled("ViewMnu"), c.viewEnabled);
    }

    void listButtonHints()
    {
        MainWindow& w = make();
        const std::pair<const char*, QString> hints[] = {
            {"packlst_SortAsc_cmd", "Sort file(s) in ascending order."},
            {"packlst_InvSel_cmd", "Inverse select all file(s) in Pack List"}};
        for (const auto& [name, text] : hints) {
            QPushButton* b = button(name);
            QCOMPARE(b->toolTip() + (text.endsWith('.') ? "." : ""), text); // a tip without the full stop
            QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), b->mapToGlobal(QPointF(2, 2)));
            QCoreApplication::sendEvent(b, &enter);
            QCOMPARE(w.statusText(), text);
        }
    }
};

QTEST_MAIN(TestPackListWindow)
#include "tst_packlistwindow.moc"
