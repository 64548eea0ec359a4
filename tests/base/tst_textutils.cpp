// LastInStr, TakeDialogItem, FormatDir, the shortening of the path the progress window
// shows (measured with a fixed-width rule), and how messages quote names.
#include "../support/Rows.h"
#include "base/TextUtils.h"

#include <QtTest>

using namespace kt;

namespace {

struct Shortened
{
    QString path;
    int maxWidth;
    QString output;
};

// Quoted for messages as `ls --quoting-style=shell-escape-always` when it holds controls;
// escaped for --info's path column.
struct Quoted
{
    QString name, quoted, escaped;
};

} // namespace

class TestTextUtils : public QObject
{
    Q_OBJECT
private slots:
    // LastInStr: 1-based, 0 for none; TakeDialogItem: the item keeps its delimiter.
    void lastInStrAndTakeDialogItem()
    {
        QCOMPARE((QList<int>{LastInStr("C:\\dir\\file.mpg", "\\"), LastInStr("file.mpg", "\\"),
                             LastInStr("aaa", "aa"), LastInStr("abc", "")}),
                 (QList<int>{7, 0, 2, 0}));
        const QString nul(QChar(0));
        for (auto [text, delimiter, item, rest] :
             {std::array<QString, 4>{"a.mpg" + nul + "b.mpg" + nul + nul, nul, "a.mpg" + nul,
                                     "b.mpg" + nul + nul},
              {"a||b||c", "||", "a||", "b||c"},
              {"abc", ";", "", "abc"}}) {
            QCOMPARE(TakeDialogItem(text, delimiter), item);
            QCOMPARE(text, rest);
        }
    }

    // 100 twips a character; the start is cut to at most (max - width(".../name") - 350).
    void formatDir_data()
    {
        const QString longPath = QStringLiteral("/home/someone/videos/holiday/2004/summer/clip.mpg"); // 49
        // The file name alone too wide: the whole path cut to 4600 - 200 = 44 characters, then "...".
        const QString longName = "/x/" + QString(60, QLatin1Char('n')) + ".mpg";
        test::addRows<Shortened>(
            {{"exactly fits", {longPath, 4900, longPath}},
             // 4600 - 1200 - 350 = 3050: 30 characters of the start.
             {"shortened", {longPath, 4600, "/home/someone/videos/holiday/2.../clip.mpg"}},
             {"empty start", {longPath, 1400, ".../clip.mpg"}},
             {"name too wide", {longName, 4600, longName.left(44) + "..."}},
             {"no separator", {"averyveryverylongfilename.mpg", 2000, "averyveryverylongf..."}}});
    }
    void formatDir()
    {
        QFETCH(Shortened, row);
        QString out = QStringLiteral("untouched");
        FormatDir(row.path, out, row.maxWidth, [](const QString& s) { return int(s.size()) * 100; });
        QCOMPARE(out, row.output);
    }

    void quotedName_data()
    {
        test::addRows<Quoted>(
            {{"plain, apostrophe kept", {"/v/it's a\\b.mpg", "'/v/it's a\\b.mpg'", "/v/it's a\\\\b.mpg"}},
             {"controls first and last", {"\t\nb\n", "''$'\\t\\n''b'$'\\n'", "\\t\\nb\\n"}},
             {"ESC, DEL and a C1 control",
              {"e\x1b[2J\x7f\u009b", "'e'$'\\033''[2J'$'\\177\\302\\233'", "e\\033[2J\\177\\302\\233"}},
             {"apostrophes with a TAB", {"'it's\t'", "''\\''it'\\''s'$'\\t'\\'''", "'it's\\t'"}}});
    }
    void quotedName()
    {
        QFETCH(Quoted, row);
        QCOMPARE(kt::quotedName(row.name), row.quoted);
        QCOMPARE(escapeControls(row.name, true), row.escaped);
    }
};

QTEST_GUILESS_MAIN(TestTextUtils)
#include "tst_textutils.moc"
