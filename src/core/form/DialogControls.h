#pragma once

#include "core/form/ControlId.h"

// The controls of the About box, the Options dialog and the data-reset dialog, by the
// names their widgets carry.

namespace pt::about_controls {
inline constexpr ControlId Window{"FormAbout"};
inline constexpr ControlId Version{"Label14"};
inline constexpr ControlId VersionAndMaker{"Label1"};
inline constexpr ControlId ComputerAndUser{"Label2"};
inline constexpr ControlId SiteCaption{"Label9"};
inline constexpr ControlId Site{"Label10"};
inline constexpr ControlId BackupSiteCaption{"Label17"};
inline constexpr ControlId BackupSite{"Label18"};
inline constexpr ControlId Mail{"Label8"};
inline constexpr ControlId Ok{"Command1"};
// The logo: its frame and the strip that scrolls inside it.
inline constexpr ControlId LogoFrame{"Picture1"};
inline constexpr ControlId LogoStrip{"Picture2"};
inline constexpr ControlId All[] = {Window,      Version, VersionAndMaker,   ComputerAndUser,
                                    SiteCaption, Site,    BackupSiteCaption, BackupSite,
                                    Mail,        Ok,      LogoFrame,         LogoStrip};
}  // namespace pt::about_controls

namespace pt::options_controls {
inline constexpr ControlId Window{"FormOption"};
inline constexpr ControlId StartWithSystem{"Check1"};
inline constexpr ControlId CheckForUpdates{"Check2"};
inline constexpr ControlId NoClickCounting{"Check3"};
inline constexpr ControlId NoKeyCounting{"Check4"};
inline constexpr ControlId Ok{"Command1"};
inline constexpr ControlId Apply{"Command2"};
inline constexpr ControlId Cancel{"Command3"};
inline constexpr ControlId All[] = {
    Window, StartWithSystem, CheckForUpdates, NoClickCounting, NoKeyCounting, Ok, Apply, Cancel};
}  // namespace pt::options_controls

namespace pt::clear_all_controls {
inline constexpr ControlId Window{"ClearAll"};
inline constexpr ControlId Warning{"Label1"};
inline constexpr ControlId Ok{"Command1"};
inline constexpr ControlId Cancel{"Command2"};
inline constexpr ControlId AlsoClearDays{"CheckClearHistory"};
inline constexpr ControlId All[] = {Window, Warning, Ok, Cancel, AlsoClearDays};
}  // namespace pt::clear_all_controls
