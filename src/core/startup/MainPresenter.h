#pragma once

#include <functional>
#include <memory>
#include <string>

#include "form/FormModel.h"
#include "platform/AutostartEntry.h"
#include "platform/Clock.h"
#include "platform/CursorSource.h"
#include "platform/DayHistory.h"
#include "platform/InputAccess.h"
#include "platform/InputEvents.h"
#include "platform/MessageBox.h"
#include "platform/NumberFormat.h"
#include "platform/Power.h"
#include "platform/SettingsStore.h"
#include "platform/Shell.h"
#include "platform/SystemInfo.h"
#include "startup/MainView.h"
#include "stats/StatisticsModel.h"
#include "texts/Language.h"

namespace pt {

class ClickHook;
class DayAccounting;
class InputAccessNotice;
class KeyCounter;
class PersistenceTick;
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
};

struct ProgramVersion {
    int major = PATHTALLY_VERSION_MAJOR;
    int minor = PATHTALLY_VERSION_MINOR;
    int revision = PATHTALLY_VERSION_PATCH;
};

// The main window's presenter: owns the statistics, the language, the version text and the
// test-mode flag, runs the start-up sequence and the ticks, and answers the window's
// commands. The Qt window renders form() and forwards events here.
class MainPresenter {
public:
    MainPresenter(MainServices services, MainView& view, ProgramVersion version = {});
    ~MainPresenter();
    MainPresenter(const MainPresenter&) = delete;
    MainPresenter& operator=(const MainPresenter&) = delete;

    // The start-up sequence. Afterwards the ticks and commands are served.
    void start();

    void onSamplingTick();  // sampling tick
    void onSecondTick();    // one-second tick

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

    // A click on a control or menu item of the main window; false when not handled here.
    bool handleClick(ControlId id);

    FormModel& form() { return m_form; }
    StatisticsModel& model() { return m_model; }
    Language lang() const { return m_lang; }
    const std::string& versionText() const { return m_versionText; }
    bool testMode() const { return m_testMode; }
    const std::string& startDate() const { return m_startDate; }
    const std::string& computerName() const { return m_computerName; }
    const std::string& userName() const { return m_userName; }
    bool startsHidden() const { return m_startHidden; }
    std::string siteRoot() const;
    MainServices& services() { return m_services; }

    // The parts of the window that other windows reach (valid after start).
    ClickHook& clickHook() { return *m_clickHook; }
    KeyCounter& keyCounter() { return *m_keys; }
    ShutdownScheduler& scheduler() { return *m_scheduler; }
    // The day-by-day accounting; null without a history.
    DayAccounting* dayAccounting() { return m_days.get(); }

private:
    void checkVersion();
    void keepAutostartCurrent();
    void loadStartDate();
    bool runFromTheStartDate();
    void showRecords();
    void openPages();
    void decideTestMode();
    void loadDataFile();
    void mergeUseTimeAndMove();
    void mergeClicks();
    void showClickRecord();
    void mergeKeys();
    void restoreShutdownSchedule();
    void removeHook();

    MainServices m_services;
    MainView& m_view;
    ProgramVersion m_version;

    StatisticsModel m_model;
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

    bool m_testMarker = false;
    bool m_testModeDecided = false;

    std::unique_ptr<SamplingTick> m_sampling;
    std::unique_ptr<PersistenceTick> m_persistence;
    std::unique_ptr<ClickHook> m_clickHook;
    std::unique_ptr<KeyCounter> m_keys;
    std::unique_ptr<InputAccessNotice> m_accessNotice;
    std::unique_ptr<ShutdownScheduler> m_scheduler;
    std::unique_ptr<DayAccounting> m_days;
};

// The program's version text: "V" + major + "." + minor + "." + revision.
std::string VersionText(const ProgramVersion& version);

}  // namespace pt
