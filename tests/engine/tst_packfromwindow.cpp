// Packing from the real main window end to end, with scripted dialogs, answers and trash.
#include "../support/MpegFixtures.h"
#include "../support/ScriptedSeams.h"
#include "../support/TestFiles.h"
#include "app/ui/MainWindow.h"
#include "app/ui/ObjectNames.h"
#include "engine/PackTexts.h"
#include "packlist/ui/PackListView.h"
#include "settings/Registry.h"

#include <QtTest>
#include <QtWidgets>

using namespace kt;

class PackFromWindowTest : public QObject
{
    Q_OBJECT
    // How a pack ends (refusals and questions: on the pack command alone); Cancel at the first file's start.
    enum class End { Packed, SaveCancelled, Cancelled };
    QTemporaryDir m_config;
    // The progress window's bars, counted and handed to `m_onBarShown` as they appear in a run.
    int m_bars = 0;
    std::function<void(QProgressBar*)> m_onBarShown;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (auto* bar = qobject_cast<QProgressBar*>(watched);
            bar && event->type() == QEvent::Show && m_onBarShown)
            ++m_bars, m_onBarShown(bar);
        return false;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_config.isValid()); // our own settings, without the Tip of the Day
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
        WriteRegString(HKEY_CURRENT_USER, appKeyPath(), QStringLiteral("ShowTod"), QStringLiteral("0"));
        qApp->installEventFilter(this);
    }

    // Each end: by the toolbar or the menu item, sizes, delete item (only after a pack), MPEG check.
    void pack()
    {
        using enum End;
        const QList<int> two{300'000, 300'000};
        for (const auto& [end, byToolbar, sizes, deleteItem, mpegCheck] :
             std::initializer_list<std::tuple<End, bool, QList<int>, const char*, bool>>{
                 {Packed, true, {7, 100'000, 123'456}, objectNames::DelNoMnu, false},
                 {Packed, false, {100'000, 250'007, 30}, objectNames::DelNoPromptMnu, true},
                 {Packed, false, {40'000, 40'000}, objectNames::DelPromptMnu, true},
                 {SaveCancelled, false, two, objectNames::DelNoPromptMnu, true},
                 {Cancelled, false, two, objectNames::DelNoPromptMnu, true}}) {
            QTemporaryDir dir{"/tmp/kt-XXXXXX"}; // short, whatever TMPDIR: the paths shown are not cut short
            test::ScriptedMessageBox messages;
            test::ScriptedFileDialogs dialogs;
            test::ScriptedShell shell;
            MainWindow w;
            w.load();
            w.show();
            // A shown window closing as it goes outlives its list; the watch ends with this run.
            const auto done = qScopeGuard([&] { w.hide(), m_onBarShown = nullptr; });
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            m_bars = 0;
            // As a user sets the options, through the items' handlers.
            for (auto [name, on] : {std::pair{objectNames::MCheckMnu, mpegCheck},
                                    {deleteItem, true},
                                    {objectNames::NormalSpeedChk, true}}) {
                if (w.action(QLatin1String(name))->isChecked() != on)
                    w.action(QLatin1String(name))->trigger();
                QCOMPARE(w.action(QLatin1String(name))->isChecked(), on);
            }
            const bool packed = end == Packed, joins = end != SaveCancelled;
            const bool asks = packed && !qstrcmp(deleteItem, objectNames::DelPromptMnu);
            const bool trashes = packed && qstrcmp(deleteItem, objectNames::DelNoMnu);
            const auto clip = [&](const QString& path, qint64 size, quint32 seed) { // distinct per seed
                test::writeFileWith(path, size, 0, test::sequenceHeaderBytes(352, 240, 4), seed);
                return test::fileBytes(path);
            };
            QByteArray joined;
            QStringList paths, expectedNames;
            w.packList().clear();
            for (int i = 0; i < sizes.size(); ++i) {
                paths << dir.filePath(QStringLiteral("clip %1.mpg").arg(i));
                joined += clip(paths.last(), sizes[i], i + 1);
                expectedNames << "Packing '" + paths.last() + "'";
                w.packList().append({paths.last(), QString(), QString(), false});
            }
            w.packListView()->syncFromList();
            w.RefreshPackListCommands();
            const QString output = dir.filePath(QStringLiteral("packed.mpg"));
            const QByteArray old = clip(output, joined.size() + 5000, 9);
            dialogs.answerSave(end == SaveCancelled ? QString() : " " + output + " ");
            if (asks)
                messages.answer(IDYES);
            const auto menusEnabled = [&] {
                return w.findChild<QMenu*>(QLatin1String(objectNames::FileMnu))->menuAction()->isEnabled() &&
                       w.findChild<QMenu*>(QLatin1String(objectNames::ActionMnu))->menuAction()->isEnabled();
            };
            // At each pass (a zero timer) the main window names the file and looks busy; the progress window,
            // drawn once a frame, that file or one before.
            QStringList named;
            QTimer sampler;
            QObject::connect(&sampler, &QTimer::timeout, &sampler, [&] {
                QWidget* modal = QApplication::activeModalWidget();
                if (!modal)
                    return;
                const QString panel = w.panelText(1),
                              label = modal->findChild<QLabel*>(QStringLiteral("Statusbar_lbl"))->text();
                QVERIFY2(expectedNames.indexOf(label) <= expectedNames.indexOf(panel) &&
                             expectedNames.indexOf(panel) >= 0,
                         qPrintable(label + " / " + panel));
                QCOMPARE(w.panelText(2), QStringLiteral("BUSY"));
                QVERIFY(w.isBusy() && !menusEnabled() && w.cursor().shape() == Qt::WaitCursor);
                if (named.isEmpty() || named.last() != panel)
                    named << panel;
            });
            m_onBarShown = [&](QProgressBar* bar) {
                sampler.start(0);
                if (end == Cancelled) // the click waits in the queue for the join's first pass
                    QMetaObject::invokeMethod(
                        bar->window()->findChild<QPushButton*>(QStringLiteral("CancelButton")),
                        &QPushButton::click, Qt::QueuedConnection);
            };
            if (trashes) // the output read back, a second pass of the bar
                expectedNames << texts::checkingFile(output);

            if (byToolbar)
                QTest::mouseClick(
                    w.findChild<QToolBar*>(QStringLiteral("cToolbar1"))
                        ->widgetForAction(w.findChild<QAction*>(QStringLiteral("cToolbar1_Pack"))),
                    Qt::LeftButton);
            else
                w.action(QLatin1String(objectNames::PackMnu))->trigger();

            QCOMPARE(m_bars, joins ? (trashes ? 2 : 1) : 0);
            QCOMPARE(dialogs.saveRequests().size(), 1);
            QStringList said = end == Cancelled ? QStringList{"Packing aborted by user"} : QStringList();
            if (packed) {
                const QString success = texts::packedSuccessfully(output, quint64(joined.size()));
                said = asks ? QStringList{texts::trashQuestion(paths), success} : QStringList{success};
                QCOMPARE(named, expectedNames);
            }
            QCOMPARE(messages.texts(), said);
            QCOMPARE(messages.asked().isEmpty() ? 0 : messages.asked().last().style,
                     joins ? MB_ICONINFORMATION : 0);
            QCOMPARE(test::fileBytes(output), packed ? joined : joins ? QByteArray() : old);
            QCOMPARE(shell.trashRequests(), trashes ? QVector<QStringList>{paths} : QVector<QStringList>{});
            QCOMPARE(w.packList().paths(), paths); // the rows stay
            QCOMPARE(w.panelText(1) + " | " + w.panelText(2), "Awaiting for job... | IDLE");
            QVERIFY(w.findChild<QLabel*>(QStringLiteral("StatusBar_Panel3"))->property("logo") == "idle" &&
                    !w.isBusy() && menusEnabled() && w.cursor().shape() == Qt::ArrowCursor &&
                    !QApplication::activeModalWidget());
        }
    }
};

QTEST_MAIN(PackFromWindowTest)
#include "tst_packfromwindow.moc"
