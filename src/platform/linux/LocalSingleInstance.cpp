#include "LocalSingleInstance.h"

#include <unistd.h>

#include <QDir>
#include <QStandardPaths>

namespace pt {
namespace {

QString RuntimeFolder() {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QDir::tempPath() + QStringLiteral("/pathtally-%1").arg(getuid());
    QDir().mkpath(dir);
    return dir;
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
    if (!m_lock->tryLock(100)) return false;
    // We hold the lock, so a leftover socket belongs to a crashed instance.
    const QString socket = folder + QLatin1Char('/') + m_name + QStringLiteral(".socket");
    QLocalServer::removeServer(socket);
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    m_server->listen(socket);
    return true;
}

}  // namespace pt
