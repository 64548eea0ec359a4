#include "Tips.h"

#include "base/RegularFile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStringDecoder>

namespace kt {

QString tipsNotFoundText()
{
    return QCoreApplication::translate("kt::Tips", "That the %1 file was not found? ").arg(tipsFileName());
}

QString tipsFilePath(const QString& programDir)
{
    // The tips in the language the texts are shown in: the catalog names its own tips file.
    const QString translated = QCoreApplication::translate(
        "kt::Tips", "tod.ctd", "the name of the tips file in this language, beside the English tod.ctd");
    if (translated != tipsFileName() && QFileInfo(programDir + QLatin1Char('/') + translated).isFile())
        return programDir + QLatin1Char('/') + translated;
    return programDir + QLatin1Char('/') + tipsFileName();
}

QStringList splitTips(QByteArrayView text)
{
    QStringDecoder decode(QStringDecoder::System);
    const QString all = decode(text);
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = all.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = all.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        lines.append(all.mid(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < n && all.at(i + 1) == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(all.mid(start));
    return lines;
}

bool LoadTips(const QString& path, QStringList& tips)
{
    // A pipe or a device in the file's place is refused without waiting on it. A file too
    // long to be a list of tips counts as unreadable, like a read that breaks off part-way:
    // a half list would hide the fault.
    const std::optional<FilePrefix> file = readRegularFilePrefix(path, kTipsReadLimit);
    if (!file || !file->whole)
        return false;
    tips.append(splitTips(file->bytes));
    return true;
}

TipPicker::TipPicker(Uniform uniform) : m_uniform(std::move(uniform))
{
    if (!m_uniform) {
        auto generator = std::make_shared<QRandomGenerator>(quint32(QDateTime::currentMSecsSinceEpoch()));
        m_uniform = [generator] { return generator->generateDouble(); };
    }
}

void TipPicker::NextRandomTip()
{
    const double r = qBound(0.0, m_uniform(), 0.999999999);
    currentIndex = tips.isEmpty() ? 1 : int(r * tips.size()) + 1;
}

std::optional<QString> TipPicker::currentTip() const
{
    if (tips.isEmpty() || currentIndex < 1 || currentIndex > tips.size())
        return std::nullopt;
    return tips.at(currentIndex - 1);
}

bool tipsShownAtStart()
{
    return readShowTod() != QLatin1String("0");
}

void setTipsShownAtStart(bool show)
{
    writeShowTod(show ? QStringLiteral("1") : QStringLiteral("0"));
}

} // namespace kt
