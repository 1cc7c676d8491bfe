#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QString>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "core/ports/SingleInstance.h"

namespace pt {

// One instance per user: a lock file in the runtime folder (a crashed holder's stale lock
// is taken over) plus a local socket, reachable by the same user only, on which a later
// start knocks to bring the running window to the front.
//
// The runtime folder is $XDG_RUNTIME_DIR when that is a folder of ours. Otherwise it is
// the first of $TMPDIR/pathtally-<uid>, then pathtally-<uid>-1 ... -9 that is (or can be
// made) a real folder owned by us with no access for others: every start walks the same
// list, so two starts agree on the folder, and a folder planted by another user in a
// shared temporary folder is passed over, never used. A lock path that is not a regular
// file (a FIFO, a link, a socket) is removed first: no instance makes one, and the folder
// is ours alone.
//
// The runtime folder follows the session's environment, which another session of the same
// user (ssh, sudo) may not share. So the claim also holds a lock in each folder whose files
// it protects (the settings' and the data file's): an flock on "<folder>/instance.lock",
// released by the system when the process ends, however it ends. A folder that takes no
// writes is locked through a lock file already there, else not at all.
class LocalSingleInstance : public SingleInstance {
public:
    explicit LocalSingleInstance(std::vector<std::filesystem::path> protectedFolders = {},
                                 QString name = QStringLiteral("pathtally"));
    ~LocalSingleInstance() override;
    bool acquire() override;
    bool activateRunning() override;
    void onActivationRequested(std::function<void()> handler) override;

    // No private runtime folder, or a lock path that cannot be cleared.
    std::string failure() const override { return m_failure.toStdString(); }

private:
    QString socketPath() const;
    // False when another process holds one of the protected folders' locks.
    bool lockProtectedFolders();

    std::vector<std::filesystem::path> m_protectedFolders;
    std::vector<int> m_folderLocks;  // open descriptors holding an flock
    QString m_name;
    QString m_failure;
    std::function<void()> m_activationHandler;
    std::unique_ptr<QLockFile> m_lock;
    std::unique_ptr<QLocalServer> m_server;
};

}  // namespace pt
