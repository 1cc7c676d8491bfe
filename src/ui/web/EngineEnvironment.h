#pragma once

#include <unistd.h>

#include <QtGlobal>

namespace pt {

// Chromium refuses to start its sandbox as root (containers, test machines, Xvfb
// sessions): there the sandbox is switched off, unless the environment already decides.
inline void PrepareEngineEnvironment() {
    if (::geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}

}  // namespace pt
