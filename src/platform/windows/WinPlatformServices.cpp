// The Windows platform's factory: the registry store, the low-level hooks (the pointer's
// travel among them), ExitWindowsEx, the Run key and the shell.

#include <memory>

#include "core/persistence/DataFile.h"
#include "core/ports/PlatformServices.h"
#include "platform/windows/CreateWinCursorSource.h"
#include "platform/windows/MutexSingleInstance.h"
#include "platform/windows/RegistrySettingsStore.h"
#include "platform/windows/RunKeyAutostart.h"
#include "platform/windows/WinClock.h"
#include "platform/windows/WinDataFolder.h"
#include "platform/windows/WinInputEvents.h"
#include "platform/windows/WinJournalFile.h"
#include "platform/windows/WinNumberFormat.h"
#include "platform/windows/WinPower.h"
#include "platform/windows/WinShell.h"
#include "platform/windows/WinSystemInfo.h"

namespace pt {
namespace {

// The low-level hooks and GetCursorPos see the whole desktop.
class HookInputAccess : public InputAccess {
public:
    bool devicesReadable() const override { return true; }
    bool pointerPositionKnown() const override { return true; }
};

// The registry's settings with the day history's group joined to each batch, so that a
// save's history goes to the journal as one line.
class HistoryJoinedStore : public SettingsStore {
public:
    HistoryJoinedStore(SettingsStore& settings, JournalDayHistory& history)
        : m_settings(settings), m_history(history) {}
    std::string read(SettingsRoot root, std::string_view keyPath, std::string_view name) override {
        return m_settings.read(root, keyPath, name);
    }
    void write(SettingsRoot root, std::string_view keyPath, std::string_view name,
               std::string_view text) override {
        m_settings.write(root, keyPath, name, text);
    }
    void beginBatch() override {
        m_settings.beginBatch();
        m_history.beginGroup();
    }
    void endBatch() override {
        m_history.endGroup();
        m_settings.endBatch();
    }
    std::string readOnlyPlace() const override { return m_settings.readOnlyPlace(); }
    bool lastBatchSaved() const override { return m_settings.lastBatchSaved(); }
    bool readable() override { return m_settings.readable(); }
    std::string lockedPlace() const override { return m_settings.lockedPlace(); }

private:
    SettingsStore& m_settings;
    JournalDayHistory& m_history;
};

template <typename T, typename... Args>
T& Lazy(std::unique_ptr<T>& slot, Args&&... args) {
    if (!slot) slot = std::make_unique<T>(std::forward<Args>(args)...);
    return *slot;
}

class WinPlatformServices : public PlatformServices {
public:
    SingleInstance& singleInstance() override { return m_instance; }
    SettingsStore& store() override {
        return Lazy(m_joinedStore, Lazy(m_store), static_cast<JournalDayHistory&>(*history()));
    }
    // The registry keeps the totals; the day history is a journal in the data folder.
    DayHistory* history() override {
        if (!m_history) m_history = OpenWinDayHistory(DefaultHistoryJournalPath());
        return m_history.get();
    }
    Clock& clock() override { return Lazy(m_clock); }
    const NumberFormat& numberFormat() override { return Lazy(m_numberFormat); }
    SystemInfo& system() override { return Lazy(m_system); }
    Shell& shell() override { return Lazy(m_shell); }
    AutostartEntry& autostart() override { return Lazy(m_autostart, store()); }
    Power& power() override { return Lazy(m_power); }
    CursorSource& cursor() override {
        if (!m_cursor) m_cursor = CreateWinCursorSource();
        return *m_cursor;
    }
    InputEvents& input() override { return Lazy(m_input); }
    const InputAccess& inputAccess() override { return m_access; }
    const InputBackendChoice& inputBackend() const override { return m_choice; }

    // The main window keeps itself off the task bar (WS_EX_TOOLWINDOW) when it hides.
    void keepOffTaskList(std::uintptr_t) override {}
    void enterDataFolder() override { EnterWinDataFolder(DataFileName, system().computerName()); }
    // A GUI process is asked to stop through its windows only: the session's end reaches
    // the main window as WM_QUERYENDSESSION / WM_ENDSESSION, and the window saves there.
    void onStopRequest(std::function<void()>) override {}

private:
    InputBackendChoice m_choice{"win32", "the low-level mouse and keyboard hooks"};
    MutexSingleInstance m_instance;
    std::unique_ptr<RegistrySettingsStore> m_store;
    std::unique_ptr<JournalDayHistory> m_history;
    std::unique_ptr<HistoryJoinedStore> m_joinedStore;
    std::unique_ptr<WinClock> m_clock;
    std::unique_ptr<WinNumberFormat> m_numberFormat;
    std::unique_ptr<WinSystemInfo> m_system;
    std::unique_ptr<WinShell> m_shell;
    std::unique_ptr<RunKeyAutostart> m_autostart;  // writes through m_store, declared before
    std::unique_ptr<WinPower> m_power;
    std::unique_ptr<CursorSource> m_cursor;
    std::unique_ptr<WinInputEvents> m_input;
    HookInputAccess m_access;
};

}  // namespace

std::unique_ptr<PlatformServices> CreatePlatformServices() {
    return std::make_unique<WinPlatformServices>();
}

}  // namespace pt
