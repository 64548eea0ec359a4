// The seams: the desktop's opener, message-box style parts, filter conversion.
#include "../support/ScriptedSeams.h"
#include "../support/TestFiles.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBox.h"
#include "platform/ui/DesktopShell.h"

#include <QtTest>

using namespace kt;

class TestPlatform : public QObject
{
    Q_OBJECT
private slots:
    // The shell opens through xdg-open and hears when nothing could open the target (a viewer that
    // started and then failed is no missing program): the target (relative names live in the test's
    // folder); the fake opener's exit status (-1: none is run); whether it answers only after the shell
    // stopped waiting; the result; whether a slow "nothing could open it" is said when it comes.
    void desktopShellOpen()
    {
        using R = ShellOpenResult;
        for (const auto& [name, status, slow, result, later] :
             std::initializer_list<std::tuple<QString, int, bool, R, bool>>{
                 {"clip.mpg", 0, false, R::Opened, false},
                 {"mailto:support@vantu.example", 3, false, R::Failed, false},
                 {"gone.mpg", -1, false, R::NotFound, false},
                 {"clip.mpg", 3, true, R::Opened, true},
                 {"clip.mpg", 4, false, R::Opened, false},
                 {"clip.mpg", 4, true, R::Opened, false},
                 {"clip.mpg", 2, false, R::NotFound, false}}) { // gone before the opener saw it
            test::ScriptedMessageBox boxes;
            QTemporaryDir dir;
            QVERIFY(test::writeFile(dir.filePath("clip.mpg"), {}));
            // Records what it was asked, then (slowly) answers; "done" marks its last step.
            const QString opener = dir.filePath("xdg-open");
            QVERIFY(test::writeFile(opener, "#!/bin/sh\nprintf '%s' \"$1\" > \"${0%/*}/asked\"\n" +
                                                QByteArray(slow ? "/bin/sleep 1\n" : "") +
                                                ": > \"${0%/*}/done\"\nexit " + QByteArray::number(status)));
            QVERIFY(QFile::setPermissions(opener, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
            const QByteArray path = qgetenv("PATH");
            qputenv("PATH", QFile::encodeName(dir.path()));
            const QString target = name.contains(QLatin1Char(':')) ? name : dir.filePath(name);
            DesktopShell desktop(slow ? 100 : 10000); // a fast answer comes well within the wait
            const ShellOpenResult opened = desktop.open(target);
            qputenv("PATH", path);
            QCOMPARE(opened, result);
            if (status >= 0)
                QTRY_VERIFY(QFile::exists(dir.filePath("done")));
            QCOMPARE(QString::fromUtf8(test::fileBytes(dir.filePath("asked"))), status < 0 ? "" : target);
            if (later) {
                QTRY_COMPARE(boxes.texts(), QStringList{noProgramToOpenText(target)});
                QCOMPARE((std::pair{boxes.asked().first().style, boxes.asked().first().title}),
                         (std::pair{48, QStringLiteral("Vantu Kliva TARN")}));
            } else {
                QTest::qWait(300); // time for the opener's end to be heard
                QVERIFY(boxes.asked().isEmpty());
            }
        }
    }

    // Style parts (buttons, icon, second button default, topmost), and filter conversion.
    void stylePartsAndFilters()
    {
        for (auto [style, parts] : {std::pair{0x40010, QList<int>{MB_OK, MB_ICONHAND, 0, 1}},
                                    {0x15, {MB_RETRYCANCEL, MB_ICONHAND, 0, 0}},
                                    {MB_YESNO | MB_ICONINFORMATION | MB_DEFBUTTON2 | MB_TOPMOST,
                                     {MB_YESNO, MB_ICONINFORMATION, 1, 1}},
                                    {48, {MB_OK, MB_ICONEXCLAMATION, 0, 0}}})
            QCOMPARE(
                (QList<int>{msgButtons(style), msgIcon(style), msgDefaultIsSecond(style), msgTopmost(style)}),
                parts);
        QCOMPARE(toQtFilter(mediaFileFilter()),
                 QStringLiteral("Mpeg (*.mpg *.mpeg *.mpe *.m1v *.mv2);;Mp3 (*.mp3 *.mp2);;All Files (*)"));
        QCOMPARE(toQtFilter(QStringLiteral("Text|*.txt|")), QStringLiteral("Text (*.txt)"));
    }
};

QTEST_GUILESS_MAIN(TestPlatform)
#include "tst_platform.moc"
