// LastInStr, TakeDialogItem, inverse_string and FormatDir (measured with a fixed-width rule).
#include "base/TextUtils.h"

#include <QtTest>

using namespace kt;

class TestTextUtils : public QObject
{
    Q_OBJECT
private slots:
    void lastInStr_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<int>("position"); // 1-based, 0: none
        QTest::newRow("backslash path") << "C:\\dir\\file.mpg"
                                        << "\\" << 7;
        QTest::newRow("none") << "file.mpg"
                              << "\\" << 0;
        QTest::newRow("overlapping") << "aaa"
                                     << "aa" << 2;
        QTest::newRow("empty pattern") << "abc"
                                       << "" << 0;
        QTest::newRow("pattern longer than text") << "ab"
                                                  << "abc" << 0;
    }
    void lastInStr()
    {
        QFETCH(QString, text);
        QFETCH(QString, pattern);
        QFETCH(int, position);
        QCOMPARE(LastInStr(text, pattern), position);
    }

    void takeDialogItem_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("delimiter");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("rest");
        const QChar nul(0);
        QTest::newRow("NUL list") << QString("a.mpg%1b.mpg%1%1").arg(nul) << QString(nul)
                                  << QString("a.mpg") + nul << QString("b.mpg%1%1").arg(nul);
        QTest::newRow("two-character delimiter") << "a||b||c"
                                                 << "||"
                                                 << "a||"
                                                 << "b||c";
        QTest::newRow("last character") << "abc;"
                                        << ";"
                                        << "abc;"
                                        << "";
    }
    void takeDialogItem()
    {
        QFETCH(QString, text);
        QFETCH(QString, delimiter);
        QFETCH(QString, item);
        QFETCH(QString, rest);
        QCOMPARE(TakeDialogItem(text, delimiter), item);
        QCOMPARE(text, rest);
    }

    void inverseString()
    {
        QCOMPARE(inverse_string(QStringLiteral("äö/bc.mpg")), QStringLiteral("gpm.cb/öä"));
        // A character outside the BMP stays one character.
        QCOMPARE(inverse_string(QString::fromUtf8("a\xF0\x9F\x8E\xAC"
                                                  "b")),
                 QString::fromUtf8("b\xF0\x9F\x8E\xAC"
                                   "a"));
    }

    // 100 twips a character; the start is cut to at most (max - width(".../name") - 350).
    void formatDir_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("maxWidth");
        QTest::addColumn<QString>("output");
        const QString longPath = QStringLiteral("/home/someone/videos/holiday/2004/summer/clip.mpg"); // 49
        QTest::newRow("exactly fits") << longPath << 4900 << longPath;
        // 4600 - 1200 - 350 = 3050: 30 characters of the start.
        QTest::newRow("shortened") << longPath << 4600 << "/home/someone/videos/holiday/2.../clip.mpg";
        QTest::newRow("empty start") << longPath << 1400 << ".../clip.mpg";
        // The file name alone is too wide: the whole path cut to 4600 - 200 = 44 characters, then "...".
        const QString longName =
            QStringLiteral("/x/") + QString(60, QLatin1Char('n')) + QStringLiteral(".mpg");
        QTest::newRow("name too wide") << longName << 4600 << longName.left(44) + "...";
        QTest::newRow("no separator") << "averyveryverylongfilename.mpg" << 2000
                                      << "averyveryverylong"
                                         "f...";
    }
    void formatDir()
    {
        QFETCH(QString, path);
        QFETCH(int, maxWidth);
        QFETCH(QString, output);
        QString out = QStringLiteral("untouched");
        FormatDir(path, out, maxWidth, [](const QString& s) { return int(s.size()) * 100; });
        QCOMPARE(out, output);
    }
};

QTEST_GUILESS_MAIN(TestTextUtils)
#include "tst_textutils.moc"
