#pragma once
// Small text operations shared by the Pack List, adding files, the join and the messages
// that name files. Positions are 1-based; comparisons are binary (code unit by code unit).
#include <QString>
#include <functional>

namespace kt {

// Position of the last occurrence of pattern in text, 0 when there is none (or the
// pattern is empty). Occurrences may overlap: the last "aa" in "aaa" is at 2.
int LastInStr(const QString& text, const QString& pattern);

// Cuts the first item off text: everything up to and including the first delimiter.
// Without a delimiter the result is empty and text stays as it was.
QString TakeDialogItem(QString& text, const QString& delimiter);

// The text with its characters in reverse order (a surrogate pair stays one character).
QString inverse_string(const QString& text);

// Each control character (C0, DEL, C1) of text as a C escape: \a \b \t \n \v \f \r, any
// other as the octal bytes of its UTF-8 form (ESC is \033). With alsoBackslash a '\' becomes
// "\\" too, so that the result reads back unambiguously.
QString escapeControls(const QString& text, bool alsoBackslash = false);

// A file name as every message shows it: between apostrophes, 'name'. A name holding control
// characters (a newline, a TAB, ESC...) is quoted as GNU tools quote for the shell instead:
// each run of them as $'...' escapes and each apostrophe as \', so 'a'$'\n''b' neither breaks
// the message's lines nor sends anything raw to a terminal, and names the file when pasted.
QString quotedName(const QString& name);

// Shortens path to fit maxWidthTwips as measured by measureTwips (the window measures
// with the font of the label that shows the result):
//  - a path that fits is written unchanged;
//  - otherwise the start of the path, ".../" and the file name, the start cut until it
//    measures at most maxWidth - width(".../" + name) - 350 (down to nothing at worst);
//  - when the file name alone leaves no room, the start of the path cut to at most
//    maxWidth - 200, then "...".
// A path without '/' is all file name.
void FormatDir(const QString& path, QString& output, int maxWidthTwips,
               const std::function<int(const QString&)>& measureTwips);

} // namespace kt
