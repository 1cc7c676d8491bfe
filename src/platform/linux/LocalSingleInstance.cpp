#include "LocalSingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace pt {
namespace {

QString RuntimeFolder() {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QDir::tempPath() + QStringLiteral("/pathtally-%1").arg(getuid());
    QDir().mkpath(dir);
    return dir;
}

// A lock file nobody holds: QLockFile keeps an flock on the file for as long as it holds
// the lock, so a file that can be flocked belongs to no live instance.
bool NobodyHolds(const QString& lockFile) {
    const int fd = ::open(QFile::encodeName(lockFile).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return free;
}

}  // namespace

LocalSingleInstance::LocalSingleInstance(QString name) : m_name(std::move(name)) {}

LocalSingleInstance::~LocalSingleInstance() = default;

bool LocalSingleInstance::acquire() {
    const QString folder = RuntimeFolder();
    m_lock =
        std::make_unique<QLockFile>(folder + QLatin1Char('/') + m_name + QStringLiteral(".lock"));
    // A lock whose holder is gone is stale at once (QLockFile checks the pid and host).
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(100)) {
        // A lock whose content cannot be read (a crash while it was being written) is
        // never stale to QLockFile; it is stale when no process holds it.
        qint64 pid = 0;
        QString host, app;
        const QString file = folder + QLatin1Char('/') + m_name + QStringLiteral(".lock");
        if (m_lock->getLockInfo(&pid, &host, &app) || !NobodyHolds(file)) return false;
        m_lock->removeStaleLockFile();
        if (!m_lock->tryLock(100)) return false;
    }
    // We hold the lock, so a leftover socket belongs to a crashed instance.
    const QString socket = folder + QLatin1Char('/') + m_name + QStringLiteral(".socket");
    QLocalServer::removeServer(socket);
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    m_server->listen(socket);
    return true;
}

}  // namespace pt
