#include "ProcessStats.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>

namespace tender::bench {

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The number after "name:" in a /proc status file, 0 when absent.
qint64 statusField(const QByteArray &status, const char *name)
{
    const QRegularExpression line(QStringLiteral("^%1:\\s+(\\d+)").arg(QLatin1String(name)),
                                  QRegularExpression::MultilineOption);
    return line.match(QString::fromLatin1(status)).captured(1).toLongLong();
}

// The inodes of the process's sockets, as its descriptors link to them.
QSet<QString> socketInodes(const QString &root)
{
    QSet<QString> inodes;
    const QDir descriptors(root + QStringLiteral("/fd"));
    for (const QString &fd : descriptors.entryList(QDir::System | QDir::NoDotAndDotDot)) {
        const QString target = QFile::symLinkTarget(descriptors.filePath(fd));
        if (target.contains(QStringLiteral("socket:[")))
            inodes << target.section(u'[', 1).chopped(1);
    }
    return inodes;
}

} // namespace

int establishedConnections(pid_t pid, quint16 port)
{
    const QString root = QStringLiteral("/proc/%1").arg(pid);
    const QSet<QString> inodes = socketInodes(root);
    const QString remotePort = QStringLiteral(":%1").arg(port, 4, 16, QLatin1Char('0')).toUpper();
    int count = 0;
    for (const char *table : {"/net/tcp", "/net/tcp6"}) {
        // sl local_address rem_address st ... inode
        for (const QByteArray &line : readAll(root + QLatin1String(table)).split('\n').mid(1)) {
            const QStringList fields = QString::fromLatin1(line).split(u' ', Qt::SkipEmptyParts);
            if (fields.size() > 9 && fields[2].endsWith(remotePort) && fields[3] == u"01" && inodes.contains(fields[9]))
                ++count;
        }
    }
    return count;
}

ProcessStats ProcessStats::of(pid_t pid)
{
    ProcessStats stats;
    const QString root = QStringLiteral("/proc/%1").arg(pid);
    stats.residentKiB = statusField(readAll(root + QStringLiteral("/status")), "VmRSS");
    const QStringList tasks = QDir(root + QStringLiteral("/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &task : tasks) {
        const QString dir = root + QStringLiteral("/task/") + task;
        const QByteArray status = readAll(dir + QStringLiteral("/status"));
        const qint64 switches = statusField(status, "voluntary_ctxt_switches") + statusField(status, "nonvoluntary_ctxt_switches");
        stats.switches += switches;
        stats.byThread.insert(task, {QString::fromUtf8(readAll(dir + QStringLiteral("/comm")).trimmed()), switches});
        stats.cpuSeconds += readAll(dir + QStringLiteral("/schedstat")).split(' ').value(0).toDouble() / 1e9;
        ++stats.threads;
    }
    return stats;
}

} // namespace tender::bench
