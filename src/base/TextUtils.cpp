#include "TextUtils.h"

#include <algorithm>

namespace kt {
namespace {

// Drops the last character, a surrogate pair as a whole.
void chopCharacter(QString& s)
{
    const qsizetype n = s.size();
    s.chop(n >= 2 && s.at(n - 1).isLowSurrogate() && s.at(n - 2).isHighSurrogate() ? 2 : 1);
}

bool isControl(QChar c)
{
    return c.category() == QChar::Other_Control;
}

// One control character as a C escape (see escapeControls).
void appendEscape(QString& out, QChar c)
{
    static const QString kNamed = QStringLiteral("\a\b\t\n\v\f\r");
    if (const qsizetype i = kNamed.indexOf(c); i >= 0) {
        out += QLatin1Char('\\');
        out += QLatin1Char("abtnvfr"[i]);
        return;
    }
    for (const char byte : QString(c).toUtf8())
        out += QStringLiteral("\\%1").arg(uint(uchar(byte)), 3, 8, QLatin1Char('0'));
}

} // namespace

QString escapeControls(const QString& text, bool alsoBackslash)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (isControl(c))
            appendEscape(out, c);
        else if (alsoBackslash && c == QLatin1Char('\\'))
            out += QStringLiteral("\\\\");
        else
            out += c;
    }
    return out;
}

QString quotedName(const QString& name)
{
    if (std::none_of(name.begin(), name.end(), isControl))
        return QLatin1Char('\'') + name + QLatin1Char('\'');
    // The shell's forms: '...' holds anything but an apostrophe, $'...' takes escapes.
    QString out(QLatin1Char('\''));
    bool inEscapes = false;
    for (const QChar c : name) {
        if (isControl(c)) {
            if (!inEscapes)
                out += QStringLiteral("'$'");
            inEscapes = true;
            appendEscape(out, c);
            continue;
        }
        if (c == QLatin1Char('\'')) {
            out += QStringLiteral("'\\''"); // ends either quote, an escaped apostrophe, a new '...'
        } else {
            if (inEscapes)
                out += QStringLiteral("''");
            out += c;
        }
        inEscapes = false;
    }
    return out + QLatin1Char('\'');
}

int LastInStr(const QString& text, const QString& pattern)
{
    if (pattern.isEmpty())
        return 0;
    return int(text.lastIndexOf(pattern)) + 1; // lastIndexOf finds overlapping matches too
}

QString TakeDialogItem(QString& text, const QString& delimiter)
{
    const qsizetype at = text.indexOf(delimiter);
    if (at < 0 || delimiter.isEmpty())
        return QString();
    const qsizetype end = at + delimiter.size();
    const QString item = text.left(end);
    text.remove(0, end);
    return item;
}

QString inverse_string(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = text.size() - 1; i >= 0; --i) {
        if (i > 0 && text.at(i).isLowSurrogate() && text.at(i - 1).isHighSurrogate()) {
            out.append(text.at(i - 1));
            out.append(text.at(i));
            --i;
        } else {
            out.append(text.at(i));
        }
    }
    return out;
}

void FormatDir(const QString& path, QString& output, int maxWidthTwips,
               const std::function<int(const QString&)>& measureTwips)
{
    // The label margins the layout leaves around the texts.
    constexpr int kMargin = 175;
    constexpr int kFallbackMargin = 200;
    const QString separator = QStringLiteral("/");

    if (measureTwips(path) <= maxWidthTwips) {
        output = path;
        return;
    }

    // The file name: what stands before the first separator of the reversed path.
    const QString reversed = inverse_string(path);
    const qsizetype sep = reversed.indexOf(separator);
    const QString name = sep < 0 ? path : inverse_string(reversed.left(sep));
    const QString suffix = QStringLiteral("...") + separator + name;

    const double budget = double(maxWidthTwips) - measureTwips(suffix) - kMargin;
    if (budget < 0) {
        // No room even for ".../name": keep what fits of the start.
        QString prefix = path;
        while (!prefix.isEmpty() && measureTwips(prefix) > maxWidthTwips - kFallbackMargin)
            chopCharacter(prefix);
        output = prefix + QStringLiteral("...");
        return;
    }

    QString prefix = path;
    while (!prefix.isEmpty() && budget - kMargin < measureTwips(prefix))
        chopCharacter(prefix);
    output = prefix + suffix;
}

} // namespace kt
