// The Linux platform's factory: the X11 or the libinput input sources by session, the
// SQLite store, logind, the XDG autostart entry and the desktop shell.

#include <QGuiApplication>
#include <QtGlobal>
#include <optional>

#include "core/persistence/DataFile.h"
#include "core/ports/PlatformServices.h"
#include "platform/linux/CreateX11CursorSource.h"
#include "platform/linux/DataFolder.h"
#include "platform/linux/DesktopShell.h"
#include "platform/linux/FreedesktopNotifier.h"
#include "platform/linux/InputBackendSelection.h"
#include "platform/linux/KWinPointerPosition.h"
#include "platform/linux/LibinputInput.h"
#include "platform/linux/LinuxSystemInfo.h"
#include "platform/linux/LocalSingleInstance.h"
#include "platform/linux/LogindPower.h"
#include "platform/linux/QtClock.h"
#include "platform/linux/QtNumberFormat.h"
#include "platform/linux/SaveOnAbruptExit.h"
#include "platform/linux/SqliteDayHistory.h"
#include "platform/linux/SqliteSettingsStore.h"
#include "platform/linux/TerminationSignals.h"
#include "platform/linux/X11InputEvents.h"
#include "platform/linux/X11WindowHints.h"
#include "platform/linux/XdgAutostartEntry.h"

namespace pt {
namespace {

// The X server shows every client the pointer and the raw input of the whole desktop.
class X11InputAccess : public InputAccess {
public:
    bool devicesReadable() const override { return true; }
    bool pointerPositionKnown() const override { return true; }
};

template <typename T, typename... Args>
T& Lazy(std::unique_ptr<T>& slot, Args&&... args) {
    if (!slot) slot = std::make_unique<T>(std::forward<Args>(args)...);
    return *slot;
}

class LinuxPlatformServices : public PlatformServices {
public:
    explicit LinuxPlatformServices(InputBackendChoice choice) : m_choice(std::move(choice)) {}

    SingleInstance& singleInstance() override { return m_instance; }
    SettingsStore& store() override {
        if (!m_store) m_store = OpenSettingsStore();
        return *m_store;
    }
    // The day history is kept in the settings' database and joins their batches.
    DayHistory* history() override {
        store();
        if (!m_history) m_history = std::make_unique<SqliteDayHistory>(m_store->database());
        return m_history.get();
    }
    Clock& clock() override { return Lazy(m_clock); }
    const NumberFormat& numberFormat() override { return Lazy(m_numberFormat); }
    SystemInfo& system() override { return Lazy(m_system); }
    Shell& shell() override { return Lazy(m_shell); }
    AutostartEntry& autostart() override { return Lazy(m_autostart); }
    Power& power() override { return Lazy(m_power); }
    CursorSource& cursor() override {
        if (usesLibinput()) return libinputInput();
        if (!m_x11Cursor) m_x11Cursor = CreateX11CursorSource();
        return *m_x11Cursor;
    }
    InputEvents& input() override {
        if (usesLibinput()) return libinputInput();
        return Lazy(m_x11Input);
    }
    const InputAccess& inputAccess() override {
        if (usesLibinput()) return libinputInput();
        return m_x11Access;
    }
    const InputBackendChoice& inputBackend() const override { return m_choice; }
    DesktopNotifier* notifier() override { return &Lazy(m_notifier); }

    void keepOffTaskList(std::uintptr_t nativeWindow) override {
        // The hint is an X11 window property; other window systems have none to set.
        if (QGuiApplication::platformName() == QLatin1String("xcb"))
            SetSkipTaskbar(static_cast<unsigned long>(nativeWindow));
    }
    void enterDataFolder() override { EnterDataFolder(DataFileName, system().computerName()); }
    void onStopRequest(std::function<void()> onStop) override {
        m_termination = std::make_unique<TerminationSignals>(std::move(onStop));
    }
    void saveBeforeAbruptExit(std::function<void()> save) override {
        m_abruptExit = std::make_unique<SaveOnAbruptExit>(std::move(save));
    }

private:
    bool usesLibinput() const { return m_choice.name == kLibinputInput; }
    LibinputInput& libinputInput() {
        if (!m_libinput) {
            m_libinput = std::make_unique<LibinputInput>();
            if (!m_libinput->error().empty())
                qWarning("Input: %s", m_libinput->error().c_str());
            else if (!m_libinput->devicesReadable())
                qWarning("Input: no input device of seat %s could be opened (%d refused)",
                         m_libinput->seat().c_str(), m_libinput->devicesRefused());
            // The position only for the window's label, from KWin where it runs.
            m_kwinPosition =
                std::make_unique<KWinPointerPosition>(KWinPointerPosition::SessionBus());
            m_libinput->setPointerPosition(m_kwinPosition.get());
        }
        return *m_libinput;
    }

    InputBackendChoice m_choice;
    // Locked where the files it protects are, whatever the session's runtime folder.
    LocalSingleInstance m_instance{{SettingsDatabase::DefaultPath().parent_path(), DataFolder()}};
    std::unique_ptr<SqliteSettingsStore> m_store;
    std::unique_ptr<SqliteDayHistory> m_history;  // over m_store's database
    std::unique_ptr<QtClock> m_clock;
    std::unique_ptr<QtNumberFormat> m_numberFormat;
    std::unique_ptr<LinuxSystemInfo> m_system;
    std::unique_ptr<DesktopShell> m_shell;
    std::unique_ptr<XdgAutostartEntry> m_autostart;
    std::unique_ptr<LogindPower> m_power;
    std::unique_ptr<FreedesktopNotifier> m_notifier;
    std::unique_ptr<CursorSource> m_x11Cursor;
    std::unique_ptr<X11InputEvents> m_x11Input;
    X11InputAccess m_x11Access;
    std::unique_ptr<KWinPointerPosition> m_kwinPosition;  // outlives m_libinput, which reads it
    std::unique_ptr<LibinputInput> m_libinput;
    std::unique_ptr<TerminationSignals> m_termination;
    std::unique_ptr<SaveOnAbruptExit> m_abruptExit;
};

}  // namespace

std::unique_ptr<PlatformServices> CreatePlatformServices() {
    return std::make_unique<LinuxPlatformServices>(
        ChooseInputBackend(SessionEnvironment::OfThisProcess()));
}

}  // namespace pt
