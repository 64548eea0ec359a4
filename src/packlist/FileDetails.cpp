#include "FileDetails.h"

#include "mpeg/SequenceHeader.h"

#include <QFile>
#include <QLocale>
#include <cmath>
#include <sys/stat.h>

namespace kt {
namespace {

// Sizes as "317,440": the locale's grouping even where it omits it by default.
QString bytesText(quint64 bytes)
{
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    return locale.toString(qulonglong(bytes));
}

} // namespace

FileDetailsCache::Stamp FileDetailsCache::stampOf(const QString& path)
{
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return {quint64(st.st_dev), quint64(st.st_ino), qint64(st.st_size),
            qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

const StreamDetails& FileDetailsCache::details(const QString& path)
{
    const Stamp now = stampOf(path);
    auto it = m_entries.find(path);
    // A file that cannot be reached is asked again each time: it may be back.
    if (it == m_entries.end() || !(it->stamp == now) || now.size < 0)
        it = m_entries.insert(path, {now, describeStream(path)});
    return it->details;
}

QString durationText(double seconds)
{
    const qint64 hundredths = qint64(std::llround(qMax(0.0, seconds) * 100));
    const qint64 h = hundredths / 360000, m = hundredths / 6000 % 60, s = hundredths / 100 % 60,
                 cs = hundredths % 100;
    const QString rest =
        QStringLiteral("%1.%2").arg(s, 2, 10, QLatin1Char('0')).arg(cs, 2, 10, QLatin1Char('0'));
    if (h > 0)
        return QStringLiteral("%1:%2:%3").arg(h).arg(m, 2, 10, QLatin1Char('0')).arg(rest);
    return QStringLiteral("%1:%2").arg(m).arg(rest);
}

QString fileDetailsText(const StreamDetails& d)
{
    QStringList lines{d.path, streamKindText(d)};
    if (d.openError)
        return lines.join(QLatin1Char('\n'));
    if (d.width > 0)
        lines << QStringLiteral("%1 x %2, %3 frames per second")
                     .arg(d.width)
                     .arg(d.height)
                     .arg(frameRateText(d.frameRateCode));
    lines << QStringLiteral("Duration: %1")
                 .arg(d.duration ? durationText(*d.duration) : QStringLiteral("unknown"));
    lines << QStringLiteral("Size: %1 bytes").arg(bytesText(d.bytes));
    return lines.join(QLatin1Char('\n'));
}

QString listTotalsText(const QVector<StreamDetails>& files)
{
    double seconds = 0;
    quint64 bytes = 0;
    int unknown = 0;
    for (const StreamDetails& d : files) {
        bytes += d.bytes;
        if (d.duration)
            seconds += *d.duration;
        else
            ++unknown;
    }
    QString text = QStringLiteral("Total duration: %1").arg(durationText(seconds));
    if (unknown > 0)
        text += unknown == 1 ? QStringLiteral(" (1 file of unknown duration not counted)")
                             : QStringLiteral(" (%1 files of unknown duration not counted)").arg(unknown);
    return text + QStringLiteral("\nTotal size: %1 bytes").arg(bytesText(bytes));
}

} // namespace kt
