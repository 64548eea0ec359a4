// The catalogs against the sources, both programs started in German, every window in English and German.
#include "../support/ProgramWindows.h"
#include "../support/Rows.h"
#include "../support/TestFiles.h"
#include "platform/Translations.h"

#include <QtTest>
#include <QtWidgets>

using namespace kt;

namespace {

const QString kBinDir = qEnvironmentVariable("KT_BIN_DIR");
const QString kSourceDir = qEnvironmentVariable("KT_SOURCE_DIR");

// An object's place in its window: object names, or class and index among its siblings.
QString pathOf(const QObject* o, const QObject* window)
{
    QString path;
    for (; o != window; o = o->parent()) {
        const QString index = QString::number(o->parent()->children().indexOf(o));
        path.prepend('/' + (o->objectName().isEmpty() ? o->metaObject()->className() + ('#' + index)
                                                      : o->objectName()));
    }
    return window->objectName() + path;
}

// Every text a window shows or gives a screen reader, by place and kind.
QMap<QString, QString> shownTexts(QWidget* window)
{
    QMap<QString, QString> texts;
    auto add = [&texts](const QString& key, const QString& text) {
        if (!text.trimmed().isEmpty())
            texts.insert(key, text);
    };
    const QList<QWidget*> widgets = window->findChildren<QWidget*>() << window;
    for (QWidget* w : widgets) {
        if (w != window && !w->isVisibleTo(window))
            continue;
        const QString at = pathOf(w, window) + '|';
        add(at + "title", w->isWindow() ? w->windowTitle() : QString());
        const bool text =
            qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w);
        for (const char* name : {"toolTip", "accessibleName", "accessibleDescription", text ? "text" : ""})
            add(at + name, w->property(name).toString());
        if (auto* c = qobject_cast<QComboBox*>(w))
            for (int i = 0; i < c->count(); ++i)
                add(at + "item" + QString::number(i), c->itemText(i));
        if (auto* v = qobject_cast<QTreeView*>(w); v && v->model() && !v->rootIndex().isValid())
            for (int row = 0; row < v->model()->rowCount(); ++row)
                for (int column = 1; column < v->model()->columnCount(); ++column) // 0: file names
                    add(at + QString::number(row * 100 + column),
                        v->model()->index(row, column).data().toString());
        if (auto* h = qobject_cast<QHeaderView*>(w); h && h->model())
            for (int i = 0; i < h->count(); ++i)
                add(at + "section" + QString::number(i),
                    h->model()->headerData(i, h->orientation()).toString());
    }
    for (QAction* a : window->findChildren<QAction*>()) {
        // Only what the user can reach: the action and every menu it sits in are visible.
        bool reachable = a->isVisible() && !a->isSeparator();
        for (const QObject* o = a; o; o = o->parent())
            if (const auto* m = qobject_cast<const QMenu*>(o))
                reachable = reachable && m->menuAction()->isVisible();
        if (!reachable)
            continue;
        const QString at = pathOf(a, window) + '|';
        add(at + "text", a->text());
        add(at + "toolTip", a->toolTip());
        add(at + "shortcut", a->shortcut().toString(QKeySequence::NativeText));
    }
    return texts;
}

// The controls a screen reader names, with every one below `parent` that has no name.
void findNameless(QAccessibleInterface* parent, const QString& at, QStringList& nameless)
{
    static const QSet<QAccessible::Role> controls{
        QAccessible::PushButton,  QAccessible::CheckBox, QAccessible::RadioButton, QAccessible::ComboBox,
        QAccessible::List,        QAccessible::Tree,     QAccessible::Table,       QAccessible::EditableText,
        QAccessible::ProgressBar, QAccessible::Slider,   QAccessible::SpinBox,     QAccessible::ButtonMenu,
        QAccessible::PageTabList};
    for (int i = 0; i < parent->childCount(); ++i) {
        QAccessibleInterface* child = parent->child(i);
        if (!child || child->state().invisible)
            continue;
        const QObject* o = child->object();
        const QString name = o ? o->objectName() : QString();
        const QString place = at + '/' + (name.isEmpty() ? QString::number(child->role(), 16) : name);
        if (controls.contains(child->role()) && child->text(QAccessible::Name).trimmed().isEmpty())
            nameless << place;
        findNameless(child, place, nameless);
    }
}

struct ProgramRun
{
    const char* command;  // the program and its arguments, split at blanks
    const char* language; // LANGUAGE; LANG is de_DE.UTF-8, and there is no display
    int exit;
    QString shown; // the start of stdout, or else of stderr
};

} // namespace
Q_DECLARE_METATYPE(ProgramRun)

class TestTranslations : public QObject
{
    Q_OBJECT
    QTemporaryDir m_config;

private slots:
    void initTestCase()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_config.path());
        QSettings(m_config.filePath("Vantu/KlivaTARN.conf"), QSettings::IniFormat).setValue("ShowTod", "0");
    }

    // lupdate leaves the catalogs as they are; German has every text, its placeholders and accelerators.
    void catalogsFollowTheSources()
    {
        QTemporaryDir copy;
        const QString committed = kSourceDir + "/translations/";
        const QStringList catalogs{"klivatarn.ts", "klivatarn_de.ts"};
        for (const QString& name : catalogs)
            QVERIFY(QFile::copy(committed + name, copy.filePath(name)));
        QProcess lupdate;
        lupdate.setWorkingDirectory(copy.path());
        lupdate.start(KT_LUPDATE, QString(KT_LUPDATE_OPTIONS).split(' ') +
                                      QStringList{kSourceDir + "/src", "-ts"} + catalogs);
        QVERIFY(lupdate.waitForFinished(60000) && lupdate.exitCode() == 0);
        // No tr() it cannot place.
        QCOMPARE(QString::fromLocal8Bit(lupdate.readAllStandardError()), QString());
        for (const QString& name : catalogs)
            QVERIFY2(test::fileBytes(copy.filePath(name)) == test::fileBytes(committed + name),
                     qPrintable(name + " is behind the sources: cmake --build build --target kt_lupdate"));
        // Each message's text as the file spells it ('&' as "&amp;"), and its translation's type.
        static const QRegularExpression message(
            QStringLiteral("<source>(.*?)</source>.*?<translation([^>]*)>(.*?)</translation>"),
            QRegularExpression::DotMatchesEverythingOption);
        const auto shape = [](QString text) { // the sorted placeholders, then the number of accelerators
            static const QRegularExpression placeholders(QStringLiteral("%[0-9]"));
            QStringList found;
            for (auto m = placeholders.globalMatch(text); m.hasNext();)
                found << m.next().captured();
            found.sort();
            return found << QString::number(text.remove("&amp;&amp;").count("&amp;"));
        };
        QStringList faults;
        int messages = 0;
        for (const auto& m :
             message.globalMatch(QString::fromUtf8(test::fileBytes(copy.filePath("klivatarn_de.ts"))))) {
            ++messages;
            if (!m.captured(2).isEmpty() || m.captured(3).isEmpty() ||
                shape(m.captured(1)) != shape(m.captured(3)))
                faults << m.captured(1);
        }
        QVERIFY(messages > 200);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    }

    // Both programs in German from their first line; English first keeps them English, a language
    // without a catalog passes on to the next.
    void programsInGerman_data()
    {
        test::addRows<ProgramRun>({
            {"packer usage",
             {"klivatarn-pack --help", "de", 0, "Aufruf: klivatarn-pack --info [-z | --json] DATEI...\n"}},
            {"packer usage error",
             {"klivatarn-pack --bogus", "de", 2,
              "klivatarn-pack: unbekannte Option '--bogus'\n„klivatarn-pack --help“ gibt weitere "
              "Informationen.\n"}},
            {"packer message",
             {"klivatarn-pack -o / a.mpg", "de", 1,
              "klivatarn-pack: '/' ist ein Ordner; -o braucht den Namen einer Datei.\n"}},
            {"French, then German",
             {"klivatarn-pack x.mpg", "fr:de", 2, "klivatarn-pack: die Ausgabedatei fehlt (-o AUSGABE)\n"}},
            {"English, then German",
             {"klivatarn-pack x.mpg", "en:de", 2,
              "klivatarn-pack: the output file is missing (-o OUTPUT)\n"}},
            {"window usage", {"klivatarn --help", "de", 0, "Aufruf: klivatarn [--] [DATEI...]\n"}},
            {"window usage error",
             {"klivatarn --bogus", "de", 2, "klivatarn: unbekannte Option '--bogus'\n"}},
            {"no display",
             {"klivatarn", "de", 1,
              "klivatarn: Anzeige kann nicht geöffnet werden: DISPLAY und WAYLAND_DISPLAY sind nicht "
              "gesetzt\n"}},
        });
    }
    void programsInGerman()
    {
        QFETCH(ProgramRun, row);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"LC_ALL", "LC_MESSAGES", "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QLatin1String(name));
        env.insert(QStringLiteral("LANG"), QStringLiteral("de_DE.UTF-8"));
        env.insert(QStringLiteral("LANGUAGE"), QLatin1String(row.language));
        QTemporaryDir runtime; // a lock of its own, whatever else runs
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        QProcess p;
        p.setProcessEnvironment(env);
        QStringList arguments = QString::fromLatin1(row.command).split(' ');
        p.start(kBinDir + '/' + arguments.takeFirst(), arguments);
        QVERIFY(p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit);
        const QByteArray out = p.readAllStandardOutput();
        QCOMPARE(QString::fromUtf8(out.isEmpty() ? p.readAllStandardError() : out).left(row.shown.size()),
                 row.shown);
        QCOMPARE(p.exitCode(), row.exit);
    }

    // The windows in German, Qt's own dialogs and key names too: the same texts in the same
    // places, none reads as its English source, and no control is nameless.
    void windowsInGerman()
    {
        const test::ProgramWindows english = test::buildProgramWindows(kBinDir);
        QMap<QString, QString> before, after;
        for (QWidget* w : english.all())
            before.insert(shownTexts(w));
        QCOMPARE(installTranslations(*qApp, kBinDir + "/translations"), QStringLiteral("de"));
        const test::ProgramWindows german = test::buildProgramWindows(kBinDir);
        for (QWidget* w : german.all())
            after.insert(shownTexts(w));
        QCOMPARE(after.keys(), before.keys());
        // What may read the same: names (the program, the maker, people, the file types), addresses,
        // folders, the version, numbers and sizes, the Preferences separator, "OK", "Name", keys
        // with no German name (F1), and the select-all button's letter ("a" for "alle" too).
        static const QRegularExpression same(QStringLiteral(
            "^(Vantu Kliva TARN( v[0-9.]+)?|Vantu Software|&?OK|Name|F1|[0-9.]+( x [0-9]+)?|_+|\\S+@\\S+|"
            "https://\\S+|/\\S*|Mp(eg|3) \\([ *.a-z0-9]+\\))$"));
        QStringList untranslated;
        for (auto it = after.cbegin(); it != after.cend(); ++it)
            if (it.value() == before.value(it.key()) && !same.match(it.value()).hasMatch() &&
                !it.key().endsWith("/packlst_SelectAll_cmd|text"))
                untranslated << it.key() + ": " + it.value();
        QVERIFY2(untranslated.isEmpty(), qPrintable(untranslated.join('\n')));
        // Every control of every window and Preferences page has a name a screen reader reads out.
        QStringList nameless;
        auto* pages = german.preferences->findChild<QComboBox*>("PrefCmb");
        for (int page = pages->count(); page-- > 0;) {
            pages->setCurrentIndex(page);
            for (QWidget* window : german.all())
                if (page == 0 || window == german.preferences.get())
                    findNameless(QAccessible::queryAccessibleInterface(window),
                                 window->objectName() + QString::number(page), nameless);
        }
        QVERIFY2(nameless.isEmpty(), qPrintable(nameless.join('\n')));
    }
};

// German before the application object reads the locale; LANG names a locale that need not be
// installed: Qt reads these variables itself.
static const bool kGerman = qputenv("LANGUAGE", "de") && qputenv("LANG", "de_DE.UTF-8") &&
                            qunsetenv("LC_ALL") && qunsetenv("LC_MESSAGES");
QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"
