#include "LocalSingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QStandardPaths>
#include <cerrno>

namespace pt {
namespace {

constexpr int FallbackCandidates = 10;

// A real folder (not a link) owned by this user with no access for anyone else.
bool IsPrivateFolder(const QByteArray& path) {
    struct stat st {};
    return ::lstat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == getuid() &&
           (st.st_mode & 077) == 0;
}

// `path` as a private folder: made owner-only when missing, a folder of ours with looser
// rights tightened. False when it is a link, not a folder, or another user's.
bool MakePrivateFolder(const QByteArray& path) {
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST) return false;
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid())
        return false;
    if ((st.st_mode & 077) != 0 && ::chmod(path.constData(), 0700) != 0) return false;
    return IsPrivateFolder(path);
}

QString RuntimeFolder() {
    const QByteArray xdg = qgetenv("XDG_RUNTIME_DIR");
    if (xdg.startsWith('/') && MakePrivateFolder(xdg)) return QFile::decodeName(xdg);
    const QString base = QDir::tempPath() + QStringLiteral("/pathtally-%1").arg(getuid());
    for (int n = 0; n < FallbackCandidates; ++n) {
        const QString candidate = n == 0 ? base : base + QStringLiteral("-%1").arg(n);
        if (MakePrivateFolder(QFile::encodeName(candidate))) return candidate;
    }
    return {};
}

// Clears a lock path that holds something no instance makes: QLockFile would block
// forever reading a FIFO, and follow a link. False when it is in the way and stays so.
bool ClearOddLockPath(const QString& lockFile) {
    const QByteArray path = QFile::encodeName(lockFile);
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0) return errno == ENOENT;
    if (S_ISREG(st.st_mode)) return true;
    return ::unlink(path.constData()) == 0 || ::rmdir(path.constData()) == 0;
}

// A lock file nobody holds: QLockFile keeps an flock on the file for as long as it holds
// the lock, so a file that can be flocked belongs to no live instance.
bool NobodyHolds(const QString& lockFile) {
    const int fd = ::open(QFile::encodeName(lockFile).constData(),
                          O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
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
    if (folder.isEmpty()) {
        m_failure = QStringLiteral(
                        "no private runtime folder: $XDG_RUNTIME_DIR is unset or not "
                        "ours, and %1/pathtally-%2 (and -1 to -%3) belong to others")
                        .arg(QDir::tempPath())
                        .arg(getuid())
                        .arg(FallbackCandidates - 1);
        return false;
    }
    const QString file = folder + QLatin1Char('/') + m_name + QStringLiteral(".lock");
    if (!ClearOddLockPath(file)) {
        m_failure =
            QStringLiteral("the lock path %1 is not a file and cannot be removed").arg(file);
        return false;
    }
    m_lock = std::make_unique<QLockFile>(file);
    // A lock whose holder is gone is stale at once (QLockFile checks the pid and host).
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(100)) {
        // A lock whose content cannot be read (a crash while it was being written) is
        // never stale to QLockFile; it is stale when no process holds it.
        qint64 pid = 0;
        QString host, app;
        if (m_lock->getLockInfo(&pid, &host, &app) || !NobodyHolds(file)) return false;
        m_lock->removeStaleLockFile();
        if (!m_lock->tryLock(100)) return false;
    }
    // We hold the lock, so a leftover socket belongs to a crashed instance.
    const QString socket = socketPath();
    QLocalServer::removeServer(socket);
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    m_server->listen(socket);
    // Any connection is a request to come forward; nothing is read from it.
    QObject::connect(m_server.get(), &QLocalServer::newConnection, m_server.get(), [this] {
        while (QLocalSocket* peer = m_server->nextPendingConnection()) {
            peer->disconnectFromServer();
            peer->deleteLater();
            if (m_activationHandler) m_activationHandler();
        }
    });
    return true;
}

QString LocalSingleInstance::socketPath() const {
    return RuntimeFolder() + QLatin1Char('/') + m_name + QStringLiteral(".socket");
}

bool LocalSingleInstance::activateRunning() {
    QLocalSocket socket;
    socket.connectToServer(socketPath());
    if (!socket.waitForConnected(2000)) return false;
    socket.disconnectFromServer();
    return true;
}

void LocalSingleInstance::onActivationRequested(std::function<void()> handler) {
    m_activationHandler = std::move(handler);
}

}  // namespace pt
