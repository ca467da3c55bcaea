#pragma once

#include <QDir>
#include <QFile>
#include <QList>

#include <sys/types.h>
#include <unistd.h>

/*
 * What /proc tells about processes, for tests that check no engine process
 * or helper of one outlives what should end it.
 */
namespace ProcessTable {

struct Stat
{
    char state = 0; // 0 when the process has no /proc entry
    int parent = 0, session = 0;
};

inline Stat stat(pid_t pid)
{
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    const QByteArray text = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    // The command name may hold blanks and parentheses: the fields follow the last ')'.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    if (text.isEmpty() || fields.size() < 4 || fields.at(0).isEmpty())
        return {};
    return {fields.at(0).at(0), fields.at(1).toInt(), fields.at(3).toInt()};
}

inline bool exists(pid_t pid)
{
    return stat(pid).state != 0;
}

/// Every process for which keep(pid, stat) holds, zombies included.
template<typename Keep> QList<pid_t> select(Keep keep)
{
    QList<pid_t> found;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        const pid_t pid = entry.toInt();
        if (pid > 0 && keep(pid, stat(pid)))
            found.append(pid);
    }
    return found;
}

/// Every child of a process, zombies included.
inline QList<pid_t> children(pid_t parent = getpid())
{
    return select([parent](pid_t, const Stat& s) { return s.parent == parent; });
}

/// The processes of a session that still run (zombies are left out: once
/// killed, a helper whose parent has gone is its new parent's to reap).
inline QList<pid_t> runningInSession(pid_t session)
{
    return select([session](pid_t, const Stat& s) {
        return s.session == session && s.state != 0 && s.state != 'Z';
    });
}

} // namespace ProcessTable
