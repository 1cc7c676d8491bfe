#include "core/startup/MainPresenter.h"

#include <filesystem>

#include "core/form/MainControls.h"
#include "core/input/InputAccessNotice.h"
#include "core/input/KeyCounter.h"
#include "core/online/Site.h"
#include "core/online/SitePages.h"
#include "core/persistence/DataFile.h"
#include "core/persistence/RecordFile.h"
#include "core/persistence/StartupMerge.h"
#include "core/persistence/ValueNames.h"
#include "core/shell/ClearAllPresenter.h"
#include "core/shutdown/ShutdownScheduler.h"
#include "core/stats/Formatting.h"
#include "core/stats/NumberText.h"
#include "core/stats/PersistenceTick.h"
#include "core/stats/RunNotices.h"
#include "core/stats/SamplingTick.h"
#include "core/stats/StoredDate.h"
#include "core/texts/MainWindowTexts.h"
#include "core/texts/NoticeTexts.h"
#include "core/texts/ProgramName.h"

namespace pt {
namespace {

std::string Read(SettingsStore& store, std::string_view name) {
    return ReadSetting(store, MainKey, name);
}

std::string Trimmed(SettingsStore& store, std::string_view name) {
    return ReadTrimmedSetting(store, MainKey, name);
}

}  // namespace

std::string VersionText(const ProgramVersion& v) {
    // Appended piece by piece: "literal" + std::string makes GCC 12 warn (-Wrestrict) at -O3.
    std::string text = "V";
    text += std::to_string(v.major);
    text += '.';
    text += std::to_string(v.minor);
    text += '.';
    text += std::to_string(v.revision);
    return text;
}

MainPresenter::MainPresenter(MainServices services, MainParts& parts, MainView& view,
                             CommandTable& commands, ProgramVersion version)
    : m_services(services),
      m_view(view),
      m_commands(commands),
      m_version(version),
      m_model(parts.statistics),
      m_clickHook(parts.clickHook),
      m_days(parts.days.get()),
      m_form(MainWindowControls()) {
    ApplyDesignedTexts(m_form);
    m_form.setText(main_controls::Window, ProgramName);
    m_form.setVisible(main_controls::TestModeMark, false);
    registerCommands();
}

MainPresenter::~MainPresenter() = default;

std::string MainPresenter::siteRoot() const {
    return SiteRoot(m_services.store);
}

void MainPresenter::start() {
    SettingsStore& store = m_services.store;
    // A store another program holds is waited for; one that stays locked is not read as
    // empty: its values join the totals once it can be read.
    m_storeLocked = !store.readable();
    // The flag the power actions need.
    m_needsPowerPrivilege = m_services.system.powerActionsAvailable();
    // Skin, language, layout, off the task list.
    m_view.applySkin();
    m_lang = LanguageFromLocaleId(m_services.system.systemLocaleId());
    m_view.layOut();
    m_form.setVisible(main_controls::TrayMenu, false);
    m_view.hideFromTaskList();
    // Version checks, version text, caption and tray tooltip.
    checkVersion();
    m_versionText = VersionText(m_version);
    m_form.setText(main_controls::Window, std::string(ProgramName) + m_versionText);
    m_form.setToolTip(main_controls::TrayIcon, std::string(ProgramName) + m_versionText);
    // Traditional texts; the uptime is the system's, named Windows only there.
    ApplyLanguageTexts(m_form, m_lang);
    if (!m_services.system.isWindows())
        m_form.setText(main_controls::UptimeCaption, main_texts::SystemUptimeCaption.in(m_lang));
    // Who and where.
    m_userName = m_services.system.userName();
    m_computerName = m_services.system.computerName();
    m_sampling =
        std::make_unique<SamplingTick>(m_model, m_form, m_services.cursor, m_services.numberFormat,
                                       m_lang, m_services.inputAccess);
    m_keys = std::make_unique<KeyCounter>(m_model, m_form, m_lang);
    // The data file's totals, for the merge with the store's.
    const FileTotals fileTotals = DataFile(m_services.dataFile).load(m_computerName);
    // The autostart entry, unless in test mode.
    std::error_code ec;
    m_testMarker = std::filesystem::exists(
        std::filesystem::path(m_services.system.programFolder()) / "Pathtally.vbp", ec);
    if (!m_testMarker) keepAutostartCurrent();
    // Where the program lives.
    const std::string folder = m_services.system.programFolder();
    if (folder != Trimmed(store, value::InstallPath))
        WriteSetting(store, MainKey, value::InstallPath, folder);
    // Start hidden in the tray?
    m_startHidden = Trimmed(store, value::MinToSystray) == "1";
    m_form.setChecked(main_controls::StartInTray, m_startHidden);
    if (m_startHidden) m_view.hideWindow();
    // The day the statistics began.
    loadStartDate();
    // The rest of the start, once more (and only once more) when the stored start date is
    // not a date.
    if (!runFromTheStartDate(fileTotals)) {
        m_startDate = StoredToday(m_services.clock);
        WriteSetting(store, MainKey, value::StartDate, m_startDate);
        runFromTheStartDate(fileTotals);
    }
    // The figures are loaded and the start date decided: from here on they are saved.
    auto checkSchedule = [this] {
        if (m_scheduler) m_scheduler->checkSchedule();
    };
    m_persistence = std::make_unique<PersistenceTick>(
        m_model, m_form, m_services.store, m_services.clock, m_lang, m_services.dataFile,
        m_computerName, m_startDate, m_days, checkSchedule);
    if (m_storeLocked) {
        m_lockedStart = LockedStart{fileTotals, m_model.totals(), m_model.resets()};
        m_persistence->joinStoreWhenReadable([this] { joinLockedStore(); });
    }
    // The totals are merged: from here on, what they grow by belongs to the day.
    if (m_days) m_days->begin();
    if (m_services.notifier)
        m_notices = std::make_unique<RunNotices>(m_model, store, *m_services.notifier,
                                                 m_services.numberFormat, m_lang, m_testMode);
    m_loaded = true;
}

void MainPresenter::checkVersion() {
    auto& box = m_services.messages;
    if (m_version.major > 10 || m_version.major < 0)
        box.show(std::string(main_texts::MajorOutOfRange.in(m_lang)), std::string(ProgramName),
                 MsgButtons::Ok);
    if (m_version.minor > 10 || m_version.minor < 0)
        box.show(std::string(main_texts::MinorOutOfRange.in(m_lang)), std::string(ProgramName),
                 MsgButtons::Ok);
    if (m_version.revision > 10000 || m_version.revision < 0)
        box.show(std::string(main_texts::RevisionOutOfRange.in(m_lang)), std::string(ProgramName),
                 MsgButtons::Ok);
}

void MainPresenter::keepAutostartCurrent() {
    // Whether the user switched it off is in the store: nothing is changed before it is read.
    if (m_storeLocked) return;
    const std::string current = m_services.autostart.read();
    const std::string aopen = Trimmed(m_services.store, value::Aopen);
    const std::string path = m_services.system.executablePath();
    if (aopen != "0" && current != path) {
        m_services.autostart.write(path);
        WriteSetting(m_services.store, MainKey, value::Aopen, "1");
    }
}

void MainPresenter::loadStartDate() {
    m_startDate = StoredToday(m_services.clock);
    const std::string stored = Read(m_services.store, value::StartDate);
    if (stored.empty()) {
        WriteSetting(m_services.store, MainKey, value::StartDate, m_startDate);
        return;
    }
    m_startDate = stored;
    // A date written in a locale's own form is stored again in the form every locale reads.
    const std::string normalized = NormalizedDate(m_services.clock, stored);
    if (!normalized.empty() && normalized != stored) {
        m_startDate = normalized;
        WriteSetting(m_services.store, MainKey, value::StartDate, m_startDate);
    }
}

bool MainPresenter::runFromTheStartDate(const FileTotals& fileTotals) {
    // The start date must read as a date.
    if (!m_services.clock.isDate(m_startDate)) return false;
    // The totals, from the data file and the store; today's values begin at zero.
    m_model.startFrom(MergedTotals(fileTotals, m_services.store));
    // Travel and use-time records.
    showRecords();
    // Home panel and news page.
    openPages();
    // Test mode or the click hook.
    decideTestMode();
    // Click record, keystroke counting.
    showClickRecord();
    countKeys();
    // The shutdown schedule.
    restoreShutdownSchedule();
    return true;
}

void MainPresenter::showRecords() {
    SettingsStore& store = m_services.store;
    RunRecords records = m_model.records();
    std::string maxMove = Read(store, value::MaxMove);
    if (maxMove.empty()) WriteSetting(store, MainKey, value::MaxMove, "0");
    records.travel = maxMove.empty() ? 0 : NumericValue(maxMove);
    m_form.setText(main_controls::TravelRecord,
                   MetresText(records.travel, m_services.numberFormat));
    if (const std::string date = Read(store, value::MaxMove_Date); !date.empty())
        m_form.setToolTip(main_controls::TravelRecord,
                          MoveRecordTip(m_lang, ShownDate(m_services.clock, date)));

    std::string maxUse = Read(store, value::MaxUseTime);
    if (maxUse.empty()) WriteSetting(store, MainKey, value::MaxUseTime, "0");
    records.useTime = maxUse.empty() ? 0 : NumericValue(maxUse);
    m_form.setText(main_controls::UseTimeRecord, FormatUseTime(records.useTime));
    if (const std::string date = Read(store, value::MaxUseTime_Date); !date.empty())
        m_form.setToolTip(main_controls::UseTimeRecord,
                          UseTimeRecordTip(m_lang, ShownDate(m_services.clock, date)));
    m_model.setRecords(records);
}

void MainPresenter::showClickRecord() {
    SettingsStore& store = m_services.store;
    const std::int32_t record = ToInt32Saturated(NumericValue(Read(store, value::MaxTotalClick)));
    m_model.setClickRecord(record);
    m_form.setText(main_controls::ClickRecord, ClickRecordText(m_lang, std::to_string(record)));
    m_form.setToolTip(
        main_controls::ClickRecord,
        ClickRecordTip(m_lang, ShownDate(m_services.clock, Read(store, value::MaxTotalClickDate))));
}

void MainPresenter::openPages() {
    if (auto home = HomePageAddress(m_services.store)) {
        m_form.setVisible(main_controls::HomePage, true);
        m_view.navigateHome(*home);
    } else {
        m_form.setVisible(main_controls::HomePage, false);
        m_view.collapseHome();
    }
    if (auto news = NewsPageAddress(m_services.store)) {
        m_view.setTabShown(main_controls::MainTab::News, true);
        m_view.navigateNews(*news);
    }
}

void MainPresenter::countKeys() {
    // Keystrokes are counted unless the stored switch turns them off.
    m_keys->setCountingEnabled(Trimmed(m_services.store, value::AddSysHook) != "1");
    m_keys->connect(m_services.input);
    if (!m_accessNotice)
        m_accessNotice =
            std::make_unique<InputAccessNotice>(m_form, m_services.inputAccess, m_lang);
}

void MainPresenter::decideTestMode() {
    // Decided once: a second pass of the start-up steps adds no log line and no hook.
    if (m_testModeDecided) return;
    m_testModeDecided = true;
    if (m_testMarker) {
        const std::filesystem::path log =
            std::filesystem::path(m_services.system.programFolder()) / "Record.txt";
        RecordFile(log,
                   MakeRecordLine(m_services.clock, m_versionText, m_computerName, m_userName));
        m_form.setVisible(main_controls::TestModeMark, true);
        m_testMode = true;
    } else {
        if (Trimmed(m_services.store, value::AddHook) != "1") m_clickHook.install();
        m_testMode = false;
    }
}

void MainPresenter::restoreShutdownSchedule() {
    if (!m_scheduler) {
        m_scheduler = std::make_unique<ShutdownScheduler>(
            m_form, m_services.store, m_services.clock, m_services.messages, m_services.power,
            m_lang, m_testMode, m_commands, [this] { saveAll(); }, [this] { m_view.quit(); },
            [this](bool running) { m_view.runCountdownTimer(running); });
        m_scheduler->powerActions().setNeedsPowerPrivilege(m_needsPowerPrivilege);
    }
    m_scheduler->restoreSchedule();
}

void MainPresenter::joinLockedStore() {
    SettingsStore& store = m_services.store;
    m_storeLocked = false;
    // What the store adds to the totals is no growth of today's.
    if (m_days) m_days->beforeReset();
    // A data reset in the meantime is kept: nothing old comes back, neither the totals nor
    // the records, and the store gets what the reset could not write while it was locked.
    const bool resetMeanwhile = m_lockedStart && m_model.resets() != m_lockedStart->resets;
    if (m_lockedStart && !resetMeanwhile)
        m_model.addStoredGrowth(m_lockedStart->merged, MergedTotals(m_lockedStart->file, store));
    m_lockedStart.reset();
    if (m_days) m_days->afterReset(false);
    if (resetMeanwhile) {
        StoreResetClickRecord(store, m_services.clock);
    } else {
        // The records, as stored.
        showRecords();
        showClickRecord();
    }
    // The day the statistics began, as stored.
    const std::string stored = Read(store, value::StartDate);
    if (m_services.clock.isDate(stored)) {
        const std::string normalized = NormalizedDate(m_services.clock, stored);
        m_startDate = normalized.empty() ? stored : normalized;
        if (m_persistence) m_persistence->setStartDate(m_startDate);
    } else {
        WriteSetting(store, MainKey, value::StartDate, m_startDate);
    }
    // The switches keep their stored meaning.
    if (!m_testMarker) keepAutostartCurrent();
    if (const std::string folder = m_services.system.programFolder();
        folder != Trimmed(store, value::InstallPath))
        WriteSetting(store, MainKey, value::InstallPath, folder);
    openPages();
    if (m_keys) m_keys->setCountingEnabled(Trimmed(store, value::AddSysHook) != "1");
    if (!m_testMode && Trimmed(store, value::AddHook) == "1") m_clickHook.remove();
    if (m_scheduler) m_scheduler->restoreSchedule();
}

void MainPresenter::removeHook() {
    m_clickHook.remove();
}

void MainPresenter::saveAll() {
    if (m_loaded && m_persistence) m_persistence->saveAll();
}

void MainPresenter::onSecondTick() {
    if (!m_persistence) return;
    // Fold in the travel sampled since the last display tick before counting and saving.
    if (m_sampling) m_sampling->tick();
    if (m_accessNotice) m_accessNotice->refresh();
    m_persistence->tick();
    // The second writes the bare click count into the counts panel; the display pass puts
    // the clicks and keys back at once, so the view never shows the bare count for a
    // quarter second (nor repaints the panel twice a second for it).
    if (m_sampling) m_sampling->showCounts();
    if (m_notices) m_notices->check();
    showTrayTip();
}

void MainPresenter::showTrayTip() {
    // The name and version, then today's figures as the status bar shows them.
    using namespace notice_texts;
    const bool measured = !m_services.inputAccess || m_services.inputAccess->devicesReadable();
    const std::string notMeasured(main_texts::NotMeasured.in(m_lang));
    std::string travel = m_form.get(main_controls::TravelPanel).text;
    const auto first = travel.find_first_not_of(' ');
    travel = first == std::string::npos
                 ? std::string()
                 : travel.substr(first, travel.find_last_not_of(' ') - first + 1);
    std::string tip = std::string(ProgramName) + m_versionText + "\n";
    tip += TodayTip.in(m_lang);
    tip += travel;
    const std::string times(TimesTip.in(m_lang));
    tip += ClicksTip.in(m_lang);
    tip += measured ? std::to_string(m_model.todayClicks().all) + times : notMeasured;
    tip += KeysTip.in(m_lang);
    tip += measured ? m_model.todayKeys().toText() + times : notMeasured;
    tip += UseTimeTip.in(m_lang);
    tip += FormatUseTime(m_model.todayUseTime());
    m_form.setToolTip(main_controls::TrayIcon, tip);
}

void MainPresenter::onSamplingTick() {
    if (m_sampling) m_sampling->tick();
}

void MainPresenter::onCountdownTick() {
    if (m_scheduler) m_scheduler->onCountdownTick();
}

void MainPresenter::onCloseBox() {
    m_view.hideWindow();
}

void MainPresenter::confirmExit() {
    MsgAnswer answer =
        m_services.messages.show(std::string(main_texts::ConfirmExit.in(m_lang)),
                                 std::string(main_texts::ConfirmExitTitle.in(m_lang)),
                                 MsgButtons::OkCancel, MsgIcon::Question, MsgDefault::Second);
    if (answer != MsgAnswer::Ok) return;
    removeHook();
    // Nothing counted is lost on an orderly exit.
    saveAll();
    m_view.quit();
}

void MainPresenter::trayButtonDown(int button) {
    if (button == 1 && !m_view.isWindowVisible()) m_view.showWindow(true);
}

void MainPresenter::showMainWindow() {
    m_view.hideWindow();
    m_view.showWindow(false);
}

void MainPresenter::showShutdownPage() {
    m_view.hideWindow();
    m_view.showWindow(false);
    m_view.selectTab(main_controls::MainTab::Shutdown);
}

void MainPresenter::registerCommands() {
    using namespace main_controls;
    CommandTable& c = m_commands;
    c.add(StartInTray, [this] {
        WriteSetting(m_services.store, MainKey, value::MinToSystray,
                     m_form.get(StartInTray).checked ? "1" : "0");
    });
    c.add(MakerPanel, [this] {
        if (m_form.get(MakerPanel).text == MakerName) m_services.shell.open(siteRoot());
    });
    c.add(ExitItem, [this] { confirmExit(); });
    c.add(TrayExitItem, [this] { confirmExit(); });
    c.add(TrayShowWindowItem, [this] { showMainWindow(); });
    c.add(TrayShutdownItem, [this] { showShutdownPage(); });
    c.add(HelpItem, [this] { m_services.shell.open(siteRoot() + "/pt/"); });
    c.add(MessageItem, [this] { m_services.shell.open(siteRoot() + "/pt/liuyanList.asp"); });
    c.add(TrayWebsiteItem, [this] { m_services.shell.open(siteRoot()); });
}

}  // namespace pt
