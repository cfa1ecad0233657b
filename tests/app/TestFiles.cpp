#include <QFile>
#include <QTemporaryDir>

// File helpers the suites share. Each call gets a name of its own, so no
// test sees another's file; the folder goes when the run ends.
QString freshPath(const QString& name)
{
    static QTemporaryDir dir;
    static int count = 0;
    return dir.filePath(QStringLiteral("%1-%2").arg(++count).arg(name));
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
