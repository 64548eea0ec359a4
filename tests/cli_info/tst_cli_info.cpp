// klivatarn-pack --info, run as the built program.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "../support/MpegFixtures.h"

namespace {

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

Run runPack(const QStringList& args, const QString& lang = QStringLiteral("C.UTF-8"))
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), lang);
    p.setProcessEnvironment(env);
    p.start(QDir(qEnvironmentVariable("KT_BIN_DIR")).filePath(QStringLiteral("klivatarn-pack")), args);
    Run r;
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit)
        return r;
    r.exitCode = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

} // namespace

class TestCliInfo : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }

private slots:
    void initTestCase() { QVERIFY(!qEnvironmentVariable("KT_BIN_DIR").isEmpty()); }

    void oneLinePerFile()
    {
        const QString a = path(QStringLiteral("ntsc.mpg"));
        const QString b = path(QStringLiteral("pal clip.mpg")); // a space is part of the path
        const QString c = path(QStringLiteral("song.mp3"));
        const QString missing = path(QStringLiteral("missing.mpg"));
        QVERIFY(kt::test::writeMpegLikeFile(a, 40000, 12, 352, 240, 4));
        QVERIFY(kt::test::writeMpegLikeFile(b, 90000, 32766, 704, 576, 3));
        QVERIFY(kt::test::writeFileWith(c, 50000, -1, {}));
        const Run r = runPack({QStringLiteral("--info"), a, b, c, missing});
        QCOMPARE(r.exitCode, 0);
        const QString na = QStringLiteral("not available");
        QCOMPARE(r.out.split(QLatin1Char('\n')), (QStringList{
                                                     a + "\t352 x 240\t29.97",
                                                     b + "\t704 x 576\t25",
                                                     c + "\t" + na + "\t" + na,
                                                     missing + "\t" + na + "\t" + na,
                                                     QString(),
                                                 }));
        QVERIFY(r.err.contains(QStringLiteral("Error opening '%1'!").arg(missing)));
        QVERIFY(!QFile::exists(missing));
    }

    void pathAsGivenAndLocaleSeparator()
    {
        QVERIFY(kt::test::writeMpegLikeFile(path(QStringLiteral("film.mpg")), 5000, 0, 320, 240, 1));
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("de_DE.UTF-8"));
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(m_dir.path());
        p.start(QDir(qEnvironmentVariable("KT_BIN_DIR")).filePath(QStringLiteral("klivatarn-pack")),
                {QStringLiteral("--info"), QStringLiteral("film.mpg")});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()), QStringLiteral("film.mpg\t320 x 240\t23,976\n"));
    }

    void noFilesIsAUsageError()
    {
        const Run r = runPack({QStringLiteral("--info")});
        QCOMPARE(r.exitCode, 2);
        QVERIFY(r.out.isEmpty());
        QVERIFY(r.err.contains(QStringLiteral("Usage: klivatarn-pack --info FILE...")));
    }
};

QTEST_GUILESS_MAIN(TestCliInfo)
#include "tst_cli_info.moc"
