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
#include <cstdio>

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

// The lock file in a protected folder, opened without following a link and never a FIFO
// or a device; -1 when there is none and none can be made.
int OpenFolderLock(const std::filesystem::path& folder) {
    // Every folder made on the way is the user's alone, as the program's folders are.
    std::filesystem::path made;
    for (const std::filesystem::path& part : folder) {
        made /= part;
        ::mkdir(made.c_str(), 0700);
    }
    const std::filesystem::path file = folder / "instance.lock";
    for (int attempt = 0; attempt < 2; ++attempt) {
        constexpr int flags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY;
        int fd = ::open(file.c_str(), O_RDWR | O_CREAT | flags, 0600);
        if (fd < 0 && errno != ELOOP) fd = ::open(file.c_str(), O_RDONLY | flags);
        struct stat st {};
        if (fd >= 0 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) return fd;
        if (fd >= 0) ::close(fd);
        // A link, a FIFO or a folder in its place: no instance makes one.
        if (::unlink(file.c_str()) != 0 && ::rmdir(file.c_str()) != 0) break;
    }
    return -1;
}

}  // namespace

LocalSingleInstance::LocalSingleInstance(std::vector<std::filesystem::path> protectedFolders,
                                         QString name)
    : m_protectedFolders(std::move(protectedFolders)), m_name(std::move(name)) {}

LocalSingleInstance::~LocalSingleInstance() {
    for (int fd : m_folderLocks) ::close(fd);
}

bool LocalSingleInstance::lockProtectedFolders() {
    for (const std::filesystem::path& folder : m_protectedFolders) {
        const int fd = OpenFolderLock(folder);
        if (fd < 0) {
            std::fprintf(stderr, "pathtally: no lock can be kept in %s\n", folder.c_str());
            continue;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            return false;  // another instance, maybe of another session, works there
        }
        m_folderLocks.push_back(fd);
    }
    return true;
}

bool LocalSingleInstance::acquire() {
    if (!lockProtectedFolders()) return false;
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
