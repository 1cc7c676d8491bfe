#pragma once

#include <string_view>

// Names of the values kept in the settings store. Value names compare without regard to
// case, so the travel total written as "Allmove" and read as "AllMove" is one value.
namespace pt::value {

// Totals: main settings key and mirror key.
inline constexpr std::string_view AllUseTime = "AllUseTime";
inline constexpr std::string_view AllMove = "AllMove";
inline constexpr std::string_view AllMoveWritten = "Allmove";  // the name the save writes
inline constexpr std::string_view leftClick = "leftClick";
inline constexpr std::string_view midClick = "midClick";
inline constexpr std::string_view rightClick = "rightClick";
inline constexpr std::string_view totalClick = "totalClick";
inline constexpr std::string_view KeyDownAll = "KeyDownAll";

// Records of one run: main settings key only.
inline constexpr std::string_view MaxMove = "MaxMove";
inline constexpr std::string_view MaxMove_Date = "MaxMove_Date";
inline constexpr std::string_view MaxUseTime = "MaxUseTime";
inline constexpr std::string_view MaxUseTime_Date = "MaxUseTime_Date";
inline constexpr std::string_view MaxTotalClick = "MaxTotalClick";
inline constexpr std::string_view MaxTotalClickDate = "MaxTotalClickDate";

// Settings: main settings key.
inline constexpr std::string_view Aopen = "Aopen";
inline constexpr std::string_view InstallPath = "InstallPath";
inline constexpr std::string_view MinToSystray = "MinToSystray";
inline constexpr std::string_view StartDate = "StartDate";
inline constexpr std::string_view AddHook = "AddHook";
inline constexpr std::string_view AddSysHook = "AddSysHook";
inline constexpr std::string_view UpdateCK = "UpdateCK";
inline constexpr std::string_view ClosePtHome = "ClosePtHome";
inline constexpr std::string_view ClosePtNews = "ClosePtNews";
inline constexpr std::string_view AutoShutTime = "AutoShutTime";
// Whether each clock rule but today's stays armed across runs, "1" or "0": Monday to Friday,
// Saturday, Sunday, the date, every day (three times). The rules' times are stored under
// their fields' control names (shutdown_controls::Rules).
inline constexpr std::string_view RuleArmed[7] = {"check3", "check4", "check5", "check6",
                                                  "check7", "check8", "check9"};
inline constexpr std::string_view SiteRoot = "SiteRoot";
// Desktop notifications on a new best of a run or a new level: "0" off, else on.
inline constexpr std::string_view Notify = "Notify";

}  // namespace pt::value
