#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/form/FormModel.h"
#include "core/persistence/DataFile.h"
#include "core/ports/AutostartEntry.h"
#include "core/ports/Clock.h"
#include "core/ports/CursorSource.h"
#include "core/ports/DayHistory.h"
#include "core/ports/DesktopNotifier.h"
#include "core/ports/InputAccess.h"
#include "core/ports/InputEvents.h"
#include "core/ports/MessageBox.h"
#include "core/ports/NumberFormat.h"
#include "core/ports/Power.h"
#include "core/ports/SettingsStore.h"
#include "core/ports/Shell.h"
#include "core/ports/SystemInfo.h"
#include "core/shell/CommandTable.h"
#include "core/startup/MainParts.h"
#include "core/startup/MainView.h"
#include "core/texts/Language.h"

namespace pt {

class InputAccessNotice;
class KeyCounter;
class PersistenceTick;
class RunNotices;
class SamplingTick;
class ShutdownScheduler;

// The platform services the main window works with.
struct MainServices {
    SettingsStore& store;
    Clock& clock;
    const NumberFormat& numberFormat;
    SystemInfo& system;
    MessageBox& messages;
    Shell& shell;
    AutostartEntry& autostart;
    CursorSource& cursor;
    InputEvents& input;
    Power& power;
    // The data file, opened by its bare name in the working directory.
    std::string dataFile = "PTDATA.CVD";
    // Every day's figures; none kept when absent.
    DayHistory* history = nullptr;
    // What the input sources can measure; null: everything (as on X11).
    const InputAccess* inputAccess = nullptr;
    // Desktop notifications of a new best or level; none shown when absent.
    DesktopNotifier* notifier = nullptr;
};

struct ProgramVersion {
    int major = PATHTALLY_VERSION_MAJOR;
    int minor = PATHTALLY_VERSION_MINOR;
    int revision = PATHTALLY_VERSION_PATCH;
};

// The main window's presenter: owns the window's form, the language, the version text and
// the test-mode flag, runs the start-up sequence and the ticks over the parts it is given,
// and registers the window's own commands (and the shutdown page's) in `commands`. The
// window renders form() and looks its clicks up in the same table.
class MainPresenter {
public:
    MainPresenter(MainServices services, MainParts& parts, MainView& view, CommandTable& commands,
                  ProgramVersion version = {});
    ~MainPresenter();
    MainPresenter(const MainPresenter&) = delete;
    MainPresenter& operator=(const MainPresenter&) = delete;

    // The start-up sequence. Afterwards the ticks and commands are served.
    void start();

    void onSamplingTick();   // sampling tick
    void onSecondTick();     // one-second tick
    void onCountdownTick();  // every second while the view's countdown timer runs

    // Close box: hides the window; the program goes on counting.
    void onCloseBox();
    // Exit with confirmation (menuClose, menuRightMenuClose, Ctrl+X).
    void confirmExit();
    // Saves every total (settings store and data file) at once.
    void saveAll();

    // Tray icon button-down: 1 = left, 2 = right (the view pops the menu up itself).
    void trayButtonDown(int button);
    void showMainWindow();
    void showShutdownPage();

    FormModel& form() { return m_form; }
    Language lang() const { return m_lang; }
    const std::string& versionText() const { return m_versionText; }
    bool testMode() const { return m_testMode; }
    const std::string& startDate() const { return m_startDate; }
    const std::string& computerName() const { return m_computerName; }
    const std::string& userName() const { return m_userName; }
    bool startsHidden() const { return m_startHidden; }
    std::string siteRoot() const;

private:
    void registerCommands();
    void checkVersion();
    void keepAutostartCurrent();
    void loadStartDate();
    bool runFromTheStartDate(const FileTotals& fileTotals);
    void showRecords();
    void openPages();
    void decideTestMode();
    void showClickRecord();
    void countKeys();
    void restoreShutdownSchedule();
    void removeHook();
    void showTrayTip();
    // The store was locked by another program at start and can be read now: what it holds
    // joins the totals, and the records, the start date and the switches are read anew.
    void joinLockedStore();

    MainServices m_services;
    MainView& m_view;
    CommandTable& m_commands;
    ProgramVersion m_version;

    StatisticsModel& m_model;
    ClickHook& m_clickHook;
    DayAccounting* m_days;  // null without a history
    FormModel m_form;
    Language m_lang = Language::English;
    std::string m_versionText;
    bool m_needsPowerPrivilege = false;
    bool m_testMode = false;
    std::string m_startDate;
    std::string m_computerName;
    std::string m_userName;
    bool m_startHidden = false;
    bool m_loaded = false;

    // The store could not be read at start: the data file's totals and what the start-up
    // merge made of them, to merge again once the store can be read.
    struct LockedStart {
        FileTotals file;
        LifetimeTotals merged;
        int resets = 0;  // the data resets made before it
    };
    bool m_storeLocked = false;
    std::optional<LockedStart> m_lockedStart;

    bool m_testMarker = false;
    bool m_testModeDecided = false;

    std::unique_ptr<SamplingTick> m_sampling;
    std::unique_ptr<PersistenceTick> m_persistence;
    std::unique_ptr<KeyCounter> m_keys;
    std::unique_ptr<InputAccessNotice> m_accessNotice;
    std::unique_ptr<ShutdownScheduler> m_scheduler;
    std::unique_ptr<RunNotices> m_notices;
};

// The program's version text: "V" + major + "." + minor + "." + revision.
std::string VersionText(const ProgramVersion& version);

}  // namespace pt
