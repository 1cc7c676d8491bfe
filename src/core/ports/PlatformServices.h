#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "core/ports/AutostartEntry.h"
#include "core/ports/Clock.h"
#include "core/ports/CursorSource.h"
#include "core/ports/DayHistory.h"
#include "core/ports/InputAccess.h"
#include "core/ports/InputEvents.h"
#include "core/ports/NumberFormat.h"
#include "core/ports/Power.h"
#include "core/ports/SettingsStore.h"
#include "core/ports/Shell.h"
#include "core/ports/SingleInstance.h"
#include "core/ports/SystemInfo.h"

namespace pt {

// The desktop-wide input backend a platform picked at start, and why (for the log).
struct InputBackendChoice {
    std::string name;    // "x11", "libinput", ...
    std::string reason;  // one line
};

// Everything one platform backend provides to the program. The single-instance claim is
// there at once; every other service is built on first use, so a second instance that gives
// up at once opens no store, display connection or input device.
class PlatformServices {
public:
    virtual ~PlatformServices() = default;

    virtual SingleInstance& singleInstance() = 0;
    virtual SettingsStore& store() = 0;
    // Every day's figures; null where the platform keeps none.
    virtual DayHistory* history() = 0;
    virtual Clock& clock() = 0;
    virtual const NumberFormat& numberFormat() = 0;
    virtual SystemInfo& system() = 0;
    virtual Shell& shell() = 0;
    virtual AutostartEntry& autostart() = 0;
    virtual Power& power() = 0;
    virtual CursorSource& cursor() = 0;
    virtual InputEvents& input() = 0;
    virtual const InputAccess& inputAccess() = 0;
    virtual const InputBackendChoice& inputBackend() const = 0;

    // Keeps a top-level window (by its native id) off the task list where the window
    // system has such a hint; does nothing elsewhere.
    virtual void keepOffTaskList(std::uintptr_t nativeWindow) = 0;
    // Makes the per-user data folder the working directory, so that the data file, opened by
    // its bare name, lands there however the program is started, and takes over a data file
    // left in the folder it was started from. After the single-instance claim, before the
    // main window.
    virtual void enterDataFolder() = 0;
    // Calls onStop on the user-interface thread when the process is asked to stop
    // (termination signals). Call once.
    virtual void onStopRequest(std::function<void()> onStop) = 0;
    // Calls save before the process ends where the window system's client library ends it
    // without returning to the event loop (the display went away). Call once; inactive
    // once these services are destroyed. Nothing to do where no such path exists.
    virtual void saveBeforeAbruptExit(std::function<void()> save) { (void)save; }
};

// Built by the platform backend the program was compiled for; it picks between that
// platform's backends at run time where there are several. Call after the application
// object exists.
std::unique_ptr<PlatformServices> CreatePlatformServices();

}  // namespace pt
