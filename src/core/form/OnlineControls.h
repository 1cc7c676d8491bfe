#pragma once

#include "core/form/ControlId.h"

// The controls of the four online windows, by the names their widgets carry. Timer1 is
// the window's timer: enabled while it runs.

namespace pt::update_controls {
inline constexpr ControlId Window{"FormUpdate"};
inline constexpr ControlId Version{"Label1"};
inline constexpr ControlId Page{"WebBrowser1"};
inline constexpr ControlId Timer{"Timer1"};
inline constexpr ControlId All[] = {Window, Version, Page, Timer};
}  // namespace pt::update_controls

namespace pt::auto_update_controls {
inline constexpr ControlId Window{"FormAutoUpdate"};
inline constexpr ControlId Status{"Label1"};
inline constexpr ControlId Page{"WebBrowser1"};
inline constexpr ControlId Timer{"Timer1"};
inline constexpr ControlId All[] = {Window, Status, Page, Timer};
}  // namespace pt::auto_update_controls

namespace pt::ranking_controls {
inline constexpr ControlId Window{"FormPaiMing"};
inline constexpr ControlId Instruction{"Label1"};
inline constexpr ControlId CodeCaption{"Label2"};
inline constexpr ControlId Code{"Text1"};
inline constexpr ControlId Close{"Command1"};
inline constexpr ControlId Page{"WebBrowser1"};
inline constexpr ControlId All[] = {Window, Instruction, CodeCaption, Code, Close, Page};
}  // namespace pt::ranking_controls

namespace pt::site_browser_controls {
inline constexpr ControlId Window{"FormWebBrowser"};
inline constexpr ControlId Page{"WebBrowser1"};
inline constexpr ControlId Timer{"Timer1"};
inline constexpr ControlId Back{"Back"};
inline constexpr ControlId Forward{"Forward"};
inline constexpr ControlId Reload{"Reload"};
inline constexpr ControlId All[] = {Window, Page, Timer, Back, Forward, Reload};
}  // namespace pt::site_browser_controls
