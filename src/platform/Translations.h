#pragma once
// The user's language. The program's texts are English in the source; a translation
// klivatarn_<language>.qm in the translations folder beside the program's data files, and
// Qt's own qtbase_<language>.qm for the texts of its standard dialogs, put them in the
// user's language. The languages come from the system locale as Qt reads it (LANGUAGE,
// then LC_ALL, LC_MESSAGES, LANG), in order of preference.
#include <QString>
#include <QStringList>

class QCoreApplication;

namespace kt {

// <program data folder>/translations, found from the executable's folder.
QString translationsFolder();

// The first of `uiLanguages` (BCP 47, "de-AT") that has a file <base>_<name><suffix> in
// `folder`, trying the full name first ("de_AT", then "de"); English, "C" and "POSIX"
// end the search, as the texts are English already. Empty when none has one.
QString findTranslatedLanguage(const QStringList& uiLanguages, const QString& folder, const QString& base,
                               const QString& suffix);

// The language the program is shown in ("de"), or empty for English.
QString programLanguage(const QString& folder = translationsFolder());

// Installs the program's translation and Qt's for programLanguage() on `app`; both belong
// to `app`. Returns the language, empty when the program stays English.
QString installTranslations(QCoreApplication& app, const QString& folder = translationsFolder());

} // namespace kt
