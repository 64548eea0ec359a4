// The seams: the desktop's opener, message-box style parts, filter conversion.
#include "../support/ScriptedSeams.h"
#include "../support/TestFiles.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBox.h"
#include "platform/ui/DesktopShell.h"

#include <QtTest>

using namespace kt;

namespace {
// What the desktop's opener does when asked to open something.
struct OpenerCase
{
    QString target; // relative names live in the test's folder
    int openerExit; // the fake xdg-open's exit status; -1: no opener is run
    bool slow;      // the opener answers only after the shell stopped waiting
    ShellOpenResult result;
    bool laterMessage; // a slow "nothing could open it" is said when it comes
};
struct StyleCase
{
    int style, buttons, icon;
    bool defaultIsSecond, topmost;
};
} // namespace

class TestPlatform : public QObject
{
    Q_OBJECT
private slots:
    // The window's shell opens through xdg-open and hears when nothing could open the target.
    void desktopShellOpen_data()
    {
        using R = ShellOpenResult;
        QTest::addColumn<OpenerCase>("c");
        QTest::newRow("file opened") << OpenerCase{"clip.mpg", 0, false, R::Opened, false};
        QTest::newRow("no program for the file") << OpenerCase{"clip.mpg", 3, false, R::Failed, false};
        QTest::newRow("address opened")
            << OpenerCase{"https://www.vantu.example/", 0, false, R::Opened, false};
        QTest::newRow("no mail program")
            << OpenerCase{"mailto:support@vantu.example", 3, false, R::Failed, false};
        QTest::newRow("missing file") << OpenerCase{"gone.mpg", -1, false, R::NotFound, false};
        QTest::newRow("slow desktop, nothing found") << OpenerCase{"clip.mpg", 3, true, R::Opened, true};
        QTest::newRow("slow desktop, opened") << OpenerCase{"clip.mpg", 0, true, R::Opened, false};
        // A viewer that started and then ended with an error is no missing program.
        QTest::newRow("viewer failed at once") << OpenerCase{"clip.mpg", 4, false, R::Opened, false};
        QTest::newRow("viewer failed later") << OpenerCase{"clip.mpg", 4, true, R::Opened, false};
        QTest::newRow("file gone before the opener saw it")
            << OpenerCase{"clip.mpg", 2, false, R::NotFound, false};
    }
    void desktopShellOpen()
    {
        QFETCH(OpenerCase, c);
        test::ScriptedMessageBox boxes;
        QTemporaryDir dir;
        QVERIFY(test::writeFile(dir.filePath("clip.mpg"), {}));
        // Records what it was asked, then (slowly) answers; "done" marks its last step.
        const QString opener = dir.filePath("xdg-open");
        QVERIFY(test::writeFile(opener, "#!/bin/sh\nprintf '%s' \"$1\" > \"${0%/*}/asked\"\n" +
                                            QByteArray(c.slow ? "/bin/sleep 1\n" : "") +
                                            ": > \"${0%/*}/done\"\nexit " +
                                            QByteArray::number(c.openerExit)));
        QVERIFY(QFile::setPermissions(opener, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(dir.path()));
        const QString target = c.target.contains(QLatin1Char(':')) ? c.target : dir.filePath(c.target);
        DesktopShell desktop(c.slow ? 100 : 10000); // a fast answer comes well within the wait
        const ShellOpenResult result = desktop.open(target);
        qputenv("PATH", path);
        QCOMPARE(result, c.result);
        if (c.openerExit < 0) {
            QVERIFY(!QFile::exists(dir.filePath("asked")));
            return;
        }
        QTRY_VERIFY(QFile::exists(dir.filePath("done")));
        QCOMPARE(QString::fromUtf8(test::fileBytes(dir.filePath("asked"))), target);
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
        QTest::addColumn<StyleCase>("c");
        QTest::newRow("stop topmost") << StyleCase{0x40010, MB_OK, MB_ICONHAND, false, true};
        QTest::newRow("yesno stop") << StyleCase{20, MB_YESNO, MB_ICONHAND, false, false};
        QTest::newRow("retry stop") << StyleCase{0x15, MB_RETRYCANCEL, MB_ICONHAND, false, false};
        QTest::newRow("reset question")
            << StyleCase{MB_YESNO | MB_ICONINFORMATION | MB_DEFBUTTON2 | MB_TOPMOST, MB_YESNO,
                         MB_ICONINFORMATION, true, true};
        QTest::newRow("exclamation") << StyleCase{48, MB_OK, MB_ICONEXCLAMATION, false, false};
    }
    void styleParts()
    {
        QFETCH(StyleCase, c);
        QCOMPARE((QList<int>{msgButtons(c.style), msgIcon(c.style), msgDefaultIsSecond(c.style),
                             msgTopmost(c.style)}),
                 (QList<int>{c.buttons, c.icon, c.defaultIsSecond, c.topmost}));
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
