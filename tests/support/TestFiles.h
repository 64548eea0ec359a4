#pragma once
// File helpers shared by the tests.
#include <QFile>
#include <QProcess>
#include <QStringList>

namespace kt::test {

inline QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Deterministic non-repeating content, so a misplaced block shows.
inline QByteArray patternBytes(qint64 size, quint32 seed)
{
    QByteArray b(size, Qt::Uninitialized);
    quint32 x = seed * 2654435761u + 1;
    for (qint64 i = 0; i < size; ++i) {
        x = x * 1664525u + 1013904223u;
        b[i] = char(x >> 24);
    }
    return b;
}

inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

inline bool runTool(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    return p.waitForFinished(20000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// Sources with known contents, checked byte for byte after the join.
struct SourceSet
{
    QStringList paths;
    QList<QByteArray> contents;

    QString add(const QString& path, qint64 size)
    {
        contents << patternBytes(size, quint32(paths.size() + 1));
        writeFile(path, contents.last());
        paths << path;
        return path;
    }
    QByteArray joined() const { return contents.join(); }
    bool unchanged(int skip = -1) const
    {
        for (int i = 0; i < paths.size(); ++i)
            if (i != skip && fileBytes(paths[i]) != contents[i])
                return false;
        return true;
    }
};

} // namespace kt::test
