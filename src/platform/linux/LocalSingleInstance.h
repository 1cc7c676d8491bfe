#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QString>
#include <memory>

#include "platform/SingleInstance.h"

namespace pt {

// One instance per user: a lock file in the runtime folder (a crashed holder's stale lock
// is taken over) plus a local socket, reachable by the same user only, on which a second
// start could knock.
class LocalSingleInstance : public SingleInstance {
public:
    explicit LocalSingleInstance(QString name = QStringLiteral("pathtally"));
    ~LocalSingleInstance() override;
    bool acquire() override;

private:
    QString m_name;
    std::unique_ptr<QLockFile> m_lock;
    std::unique_ptr<QLocalServer> m_server;
};

}  // namespace pt
