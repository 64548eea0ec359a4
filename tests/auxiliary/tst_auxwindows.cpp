// Tip of the Day, About, technical support, help and links, through their widgets.
#include "../support/ScriptedSeams.h"
#include "../support/TestFiles.h"
#include "auxiliary/about/Credits.h"
#include "auxiliary/about/Links.h"
#include "auxiliary/about/SysInfo.h"
#include "auxiliary/ui/AboutBox.h"
#include "auxiliary/ui/AuxiliaryWindows.h"
#include "auxiliary/ui/IconPictures.h"
#include "auxiliary/ui/TechSupportDialog.h"
#include "auxiliary/ui/TipOfTheDay.h"

#include <QtTest>
#include <QtWidgets>

using namespace kt;

static const QString kBinDir = qEnvironmentVariable("KT_BIN_DIR");

class TestAuxWindows : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path()); }

    // The text at start and after each Next Tip: a draw r shows tip int(r * count) + 1.
    void tipWindow_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("three tips") << QByteArray("first\r\nsecond\r\nthird")
                                    << QStringList{"first", "second", "third", "first"};
        QTest::newRow("no file") << QByteArray() << QStringList{tipsNotFoundText(), tipsNotFoundText()};
        QTest::newRow("empty file") << QByteArray("") << QStringList{"", ""};
    }
    void tipWindow()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, shown);
        test::ScriptedMessageBox box;
        QTemporaryDir dir;
        QFile::copy(kBinDir + "/Tod.ir", dir.filePath("Tod.ir"));
        if (!file.isNull())
            QVERIFY(test::writeFile(dir.filePath("tod.ctd"), file));
        QVector<double> draws{0.0, 0.5, 0.9999, 0.333};
        TipOfTheDay tips(dir.path(), nullptr, [&draws] { return draws.isEmpty() ? 0.0 : draws.takeFirst(); });
        auto* text = tips.findChild<QLabel*>("lblTipText");
        QCOMPARE(text->text(), shown.first());
        for (const QString& next : shown.mid(1)) {
            QTest::mouseClick(tips.findChild<QPushButton*>("cmdNextTip"), Qt::LeftButton);
            QCOMPARE(text->text(), next);
        }
        // The icon's transparent corner is drawn in the white of the panel.
        QCOMPARE(tips.findChild<QLabel*>("PicIcon")->pixmap().toImage().pixel(0, 0), qRgb(255, 255, 255));
        QVERIFY(box.asked().isEmpty());
    }

    // Links open on the left button going down; right and middle do nothing.
    void links()
    {
        test::ScriptedShell shell;
        AboutBox about;
        TechSupportDialog support;
        for (QLabel* link :
             {about.findChild<QLabel*>("Email_Img3"), support.findChild<QLabel*>("SupportURL_lbl")})
            for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton, Qt::LeftButton})
                QTest::mousePress(link, button); // no release needed
        QCOMPARE(shell.opened(),
                 (QStringList{"mailto:" + credits().at(3).mail, webTargetAddress(WebTarget::Support)}));
    }

    // The Help menu. KlvTarn.ir missing: one message, Radur.ir not tried; both: drawn over the background.
    void helpMenu()
    {
        test::ScriptedMessageBox box;
        QTemporaryDir dir;
        QFile::copy(kBinDir + "/Radur.ir", dir.filePath("Radur.ir"));
        prepareAboutPictures(dir.path(), QColor(1, 2, 3));
        QCOMPARE(box.asked().size(), 1);
        QVERIFY(aboutProductPicture().isNull() && aboutMailPicture().isNull());
        QFile::copy(kBinDir + "/KlvTarn.ir", dir.filePath("KlvTarn.ir"));
        prepareAboutPictures(dir.path(), QColor(1, 2, 3));
        QCOMPARE(aboutMailPicture().toImage().pixel(0, 0), qRgb(1, 2, 3));
        AboutBox about;
        // Its System Info button asks the desktop; with no tool on the search path it says so.
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", "/nonexistent");
        QTest::mouseClick(about.findChild<QPushButton*>("cmdSysInfo"), Qt::LeftButton);
        qputenv("PATH", path);
        QCOMPARE(box.texts().mid(1), QStringList{sysInfoUnavailableText()}); // none from the pictures
        QCOMPARE(box.asked().last().style, int(MB_OK | MB_TOPMOST));
        // Each tick of ChangeSplash moves the credits on: none, 1+2, 3+4, none again.
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QTimer* timer = about.findChild<QTimer*>("ChangeSplash");
        QVERIFY(timer && timer->isActive());
        const auto shown = [&about](const QString& name) {
            return about.findChild<QLabel*>(name)->isVisible();
        };
        QStringList seen; // per tick and credit: its name, then its mail image, shown or not
        for (int tick = 0; tick < 5; ++tick) {
            seen << QString();
            for (int i = 1; i <= 4; ++i)
                seen.last() += QString::number(shown(QStringLiteral("lblCredit%1").arg(i))) +
                               QString::number(shown(QStringLiteral("Email_Img%1").arg(i - 1)));
            QVERIFY(QMetaObject::invokeMethod(timer, "timeout", Qt::DirectConnection));
        }
        QCOMPARE(seen, (QStringList{"00000000", "11110000", "00001111", "00000000", "11110000"}));
        // Help Topics: the help file, or what is said when it is missing.
        test::ScriptedShell shell;
        openHelpTopics("/opt/kt");
        QCOMPARE(shell.opened(), QStringList{"/opt/kt/KlvTarn.html"});
        shell.openResult = ShellOpenResult::NotFound;
        openHelpTopics("/opt/kt");
        QCOMPARE(box.texts().mid(2), QStringList{"'/opt/kt/KlvTarn.html' was not found!"});
        QCOMPARE(box.asked().last().style, 16);
        // Tip of the Day comes forward when open; a new one only after Close. With ShowTod
        // absent the box is ticked and "1" written back; unticking writes "0", and the next
        // window shows it. The state: each open window ticked or not, then ShowTod.
        QSettings("Vantu", "KlivaTARN").remove("ShowTod");
        QWidget owner;
        const auto state = [&owner] {
            QStringList s;
            for (TipOfTheDay* t : owner.findChildren<TipOfTheDay*>())
                s << (t->findChild<QCheckBox*>("chkLoadTipsAtStartup")->isChecked() ? "ticked" : "unticked");
            return s << QSettings("Vantu", "KlivaTARN").value("ShowTod").toString();
        };
        openTipOfTheDay(&owner);
        TipOfTheDay* first = owner.findChild<TipOfTheDay*>();
        QVERIFY(first && first->isVisible() && !first->isModal());
        QCOMPARE(state(), (QStringList{"ticked", "1"}));
        first->findChild<QCheckBox*>("chkLoadTipsAtStartup")->click();
        openTipOfTheDay(&owner);
        QCOMPARE(state(), (QStringList{"unticked", "0"}));
        QTest::mouseClick(first->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
        QTRY_VERIFY(!owner.findChild<TipOfTheDay*>()); // deleted on close
        openTipOfTheDay(&owner);
        QCOMPARE(state(), (QStringList{"unticked", "0"}));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestAuxWindows)
#include "tst_auxwindows.moc"
