#include "core/form/MainControls.h"

#include "core/form/ShutdownControls.h"

namespace pt {

std::vector<ControlId> MainWindowControls() {
    using namespace main_controls;
    std::vector<ControlId> all = {
        Window,
        TrayIcon,
        TrayMenu,
        HomePage,
        NewsPage,
        InputAccessNotice,
        TravelFrame,
        TodayTravelCaption,
        TodayTravel,
        TotalTravelCaption,
        TotalTravel,
        PositionCaption,
        Position,
        TravelRecordCaption,
        TravelRecord,
        KeysFrame,
        TodayKeys,
        TotalKeys,
        ClicksFrame,
        TodayClickLine,
        TotalClickLine,
        TodayClicksCaption,
        TodayClicks,
        TodayClicksOpen,
        TodayLeftWord,
        TodayLeftKeyWord,
        TodayLeftClicks,
        TodayLeftEnd,
        TodayMiddleWord,
        TodayMiddleKeyWord,
        TodayMiddleClicks,
        TodayMiddleEnd,
        TodayRightWord,
        TodayRightKeyWord,
        TodayRightClicks,
        TodayClickLineEnd,
        TotalClicksCaption,
        TotalClicks,
        TotalClicksOpen,
        TotalLeftWord,
        TotalLeftKeyWord,
        TotalLeftClicks,
        TotalLeftEnd,
        TotalMiddleWord,
        TotalMiddleKeyWord,
        TotalMiddleClicks,
        TotalMiddleEnd,
        TotalRightWord,
        TotalRightKeyWord,
        TotalRightClicks,
        TotalClickLineEnd,
        ClickRecord,
        TimeFrame,
        TodayUseTimeCaption,
        TodayUseTime,
        TotalUseTimeCaption,
        TotalUseTime,
        UptimeCaption,
        Uptime,
        UseTimeRecordCaption,
        UseTimeRecord,
        StartInTray,
        LevelCaption,
        Level,
        PointsCaption,
        Points,
        RankingLink,
        TestModeMark,
        FileMenu,
        HistoryItem,
        RankingItem,
        ClearHistoryItem,
        ClearRankingItem,
        ClearAllItem,
        DayHistoryItem,
        OptionsItem,
        ExitItem,
        HelpMenu,
        HelpItem,
        OnlineSupportItem,
        UpdateItem,
        AutoUpdateItem,
        SiteBrowserItem,
        MessageItem,
        FeedbackItem,
        AboutItem,
        TrayShowWindowItem,
        TrayShutdownItem,
        TrayDayHistoryItem,
        TrayWebsiteItem,
        TrayAboutItem,
        TrayExitItem,
    };
    all.insert(all.end(), std::begin(Tabs), std::end(Tabs));
    all.insert(all.end(), std::begin(Panels), std::end(Panels));
    using namespace shutdown_controls;
    for (ControlId id :
         {RulesFrame, PowerFrame, CountdownBox, CountdownMinutes, CountdownUnit, StartCountdown,
          StopCountdown, CountdownWarning, LogOffNow, RebootNow, PowerOffNow, MonthLabel, DayLabel})
        all.push_back(id);
    for (const RuleControls& rule : Rules) {
        all.push_back(rule.box);
        for (int i = 0; i < rule.fieldCount; ++i)
            all.push_back(rule.fields[static_cast<size_t>(i)]);
        for (ControlId id : {rule.enable, rule.cancel, rule.hourLabel, rule.minuteLabel})
            all.push_back(id);
    }
    return all;
}

}  // namespace pt
