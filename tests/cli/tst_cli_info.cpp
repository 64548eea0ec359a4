// klivatarn-pack --info, run as the built program.
#include "../support/MpegFixtures.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestCliInfo : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }

    // Runs the packer in the temporary folder; returns the exit code (-1: did not finish).
    int run(const QStringList& args, QString* out, QString* err,
            const QString& lang = QStringLiteral("C.UTF-8"))
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LC_ALL"), lang);
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(m_dir.path());
        p.start(QDir(qEnvironmentVariable("KT_BIN_DIR")).filePath(QStringLiteral("klivatarn-pack")), args);
        if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit)
            return -1;
        *out = QString::fromUtf8(p.readAllStandardOutput());
        *err = QString::fromUtf8(p.readAllStandardError());
        return p.exitCode();
    }

private slots:
    void initTestCase() { QVERIFY(!qEnvironmentVariable("KT_BIN_DIR").isEmpty()); }

    // One line per file, the path as given, the frame rate with a '.' whatever the locale
    // (scripts read it); a file that cannot be opened is said on stderr and makes the status 1.
    void oneLinePerFile()
    {
        QVERIFY(kt::test::writeMpegLikeFile(path(QStringLiteral("ntsc.mpg")), 40000, 12, 352, 240, 4));
        QVERIFY(kt::test::writeMpegLikeFile(path(QStringLiteral("pal clip.mpg")), 90000, 32766, 704, 576, 3));
        QVERIFY(kt::test::writeFileWith(path(QStringLiteral("song.mp3")), 50000, -1, {}));
        const QString missing = path(QStringLiteral("missing.mpg"));
        QString out, err;
        const QStringList args{QStringLiteral("--info"), QStringLiteral("ntsc.mpg"),
                               path(QStringLiteral("pal clip.mpg")), QStringLiteral("song.mp3"), missing};
        QCOMPARE(run(args, &out, &err, QStringLiteral("de_DE.UTF-8")), 1);
        const QString na = QStringLiteral("\tnot available\tnot available\n");
        QCOMPARE(out, "ntsc.mpg\t352 x 240\t29.97\n" + path(QStringLiteral("pal clip.mpg")) +
                          "\t704 x 576\t25\n" + "song.mp3" + na + missing + na);
        QCOMPARE(
            err,
            QStringLiteral("klivatarn-pack: cannot open '%1': No such file or directory\n").arg(missing));
        QVERIFY(!QFile::exists(missing));
    }

    void noFilesIsAUsageError()
    {
        QString out, err;
        QCOMPARE(run({QStringLiteral("--info")}, &out, &err), 2);
        QVERIFY(out.isEmpty());
        QCOMPARE(err, QStringLiteral("klivatarn-pack: --info needs at least one file\n"
                                     "Try 'klivatarn-pack --help' for more information.\n"));
    }
};

QTEST_GUILESS_MAIN(TestCliInfo)
#include "tst_cli_info.moc"
