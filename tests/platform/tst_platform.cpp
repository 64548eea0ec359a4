// The seams: the message-box routine's last answer, style parts, filter conversion.
#include "../support/ScriptedSeams.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBox.h"
#include "platform/ui/DesktopShell.h"

#include <QtTest>

using namespace kt;

namespace {
// What the desktop's opener does when asked to open something.
struct OpenerCase
{
    QString target;        // relative names live in the test's folder
    QByteArray openerExit; // the fake xdg-open's exit status; empty: no opener is run
    bool slow;             // the opener answers only after the shell stopped waiting
    ShellOpenResult result;
    bool laterMessage; // a slow "nothing could open it" is said when it comes
};
} // namespace

Q_DECLARE_METATYPE(OpenerCase)

class TestPlatform : public QObject
{
    Q_OBJECT
private slots:
    void msgBoxAnswersAndDefaultsTitle()
    {
        test::ScriptedMessageBox box;
        box.answer({IDRETRY, IDNO});
        QCOMPARE(MsgBox(QStringLiteral("a"), MB_RETRYCANCEL | MB_ICONHAND), int(IDRETRY));
        QCOMPARE(MsgBox(QStringLiteral("b"), MB_YESNO, QStringLiteral("T")), int(IDNO));
        // Unscripted questions take the safe answer.
        QCOMPARE(MsgBox(QStringLiteral("c"), MB_YESNO), int(IDNO));
        QCOMPARE(MsgBox(QStringLiteral("d"), MB_RETRYCANCEL), int(IDCANCEL));
        QCOMPARE(box.unscriptedCount(), 2);
        QCOMPARE(box.asked().at(0).title, QStringLiteral("Vantu Kliva TARN"));
        QCOMPARE(box.asked().at(1).title, QStringLiteral("T"));
    }

    // The window's shell opens through xdg-open and hears when nothing could open the target.
    void desktopShellOpen_data()
    {
        using R = ShellOpenResult;
        QTest::addColumn<OpenerCase>("c");
        QTest::newRow("file opened") << OpenerCase{"clip.mpg", "0", false, R::Opened, false};
        QTest::newRow("no program for the file") << OpenerCase{"clip.mpg", "3", false, R::Failed, false};
        QTest::newRow("the program failed") << OpenerCase{"clip.mpg", "4", false, R::Failed, false};
        QTest::newRow("address opened")
            << OpenerCase{"https://www.vantu.example/", "0", false, R::Opened, false};
        QTest::newRow("no browser") << OpenerCase{"https://www.vantu.example/", "3", false, R::Failed, false};
        QTest::newRow("no mail program")
            << OpenerCase{"mailto:support@vantu.example", "3", false, R::Failed, false};
        QTest::newRow("missing file") << OpenerCase{"gone.mpg", {}, false, R::NotFound, false};
        QTest::newRow("slow desktop, nothing found") << OpenerCase{"clip.mpg", "3", true, R::Opened, true};
        QTest::newRow("slow desktop, opened") << OpenerCase{"clip.mpg", "0", true, R::Opened, false};
        QTest::newRow("viewer ended with an error") << OpenerCase{"clip.mpg", "1", true, R::Opened, false};
    }
    void desktopShellOpen()
    {
        QFETCH(OpenerCase, c);
        test::ScriptedMessageBox boxes;
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QFile clip(dir.filePath("clip.mpg"));
        QVERIFY(clip.open(QIODevice::WriteOnly));
        clip.close();
        const QString opener = dir.filePath("xdg-open");
        QFile script(opener);
        QVERIFY(script.open(QIODevice::WriteOnly));
        // Records what it was asked, then (slowly) answers; "done" marks its last step.
        script.write("#!/bin/sh\nprintf '%s' \"$1\" > \"${0%/*}/asked\"\n" +
                     QByteArray(c.slow ? "/bin/sleep 1\n" : "") + ": > \"${0%/*}/done\"\nexit " +
                     (c.openerExit.isEmpty() ? QByteArray("0") : c.openerExit) + "\n");
        script.close();
        QVERIFY(script.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(dir.path()));
        const bool isFile = !c.target.contains(QLatin1Char(':'));
        const QString target = isFile ? dir.filePath(c.target) : c.target;
        DesktopShell desktop(c.slow ? 100 : 10000); // a fast answer comes well within the wait
        const ShellOpenResult result = desktop.open(target);
        qputenv("PATH", path);
        QCOMPARE(result, c.result);
        QFile asked(dir.filePath("asked"));
        if (c.openerExit.isEmpty()) {
            QVERIFY(!asked.exists());
            return;
        }
        QTRY_VERIFY(QFile::exists(dir.filePath("done")));
        QVERIFY(asked.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(asked.readAll()), target);
        if (c.laterMessage) {
            QTRY_COMPARE(boxes.texts(), QStringList{noProgramToOpenText(target)});
            QCOMPARE(boxes.asked().first().style, 48);
            QCOMPARE(boxes.asked().first().title, QStringLiteral("Vantu Kliva TARN"));
        } else {
            QTest::qWait(300); // time for the opener's end to be heard
            QVERIFY(boxes.asked().isEmpty());
        }
    }

    void styleParts_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("icon");
        QTest::addColumn<bool>("second");
        QTest::addColumn<bool>("topmost");
        QTest::newRow("stop topmost") << 0x40010 << int(MB_OK) << int(MB_ICONHAND) << false << true;
        QTest::newRow("yesno stop") << 20 << int(MB_YESNO) << int(MB_ICONHAND) << false << false;
        QTest::newRow("retry stop") << 0x15 << int(MB_RETRYCANCEL) << int(MB_ICONHAND) << false << false;
        QTest::newRow("reset question") << (MB_YESNO | MB_ICONINFORMATION | MB_DEFBUTTON2 | MB_TOPMOST)
                                        << int(MB_YESNO) << int(MB_ICONINFORMATION) << true << true;
        QTest::newRow("exclamation") << 48 << int(MB_OK) << int(MB_ICONEXCLAMATION) << false << false;
    }
    void styleParts()
    {
        QFETCH(int, style);
        QFETCH(int, buttons);
        QFETCH(int, icon);
        QFETCH(bool, second);
        QFETCH(bool, topmost);
        QCOMPARE(msgButtons(style), buttons);
        QCOMPARE(msgIcon(style), icon);
        QCOMPARE(msgDefaultIsSecond(style), second);
        QCOMPARE(msgTopmost(style), topmost);
    }

    void qtFilter()
    {
        QCOMPARE(toQtFilter(mediaFileFilter()),
                 QStringLiteral("Mpeg (*.mpg *.mpeg *.mpe *.m1v *.mv2);;Mp3 (*.mp3 *.mp2);;All Files (*)"));
        QCOMPARE(toQtFilter(QStringLiteral("Text|*.txt|")), QStringLiteral("Text (*.txt)"));
    }
};

QTEST_GUILESS_MAIN(TestPlatform)
#include "tst_platform.moc"
