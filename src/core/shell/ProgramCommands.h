#pragma once

#include <functional>
#include <memory>

#include "core/ports/DayHistory.h"
#include "core/ports/MessageBox.h"
#include "core/shell/AboutPresenter.h"
#include "core/shell/ClearAllPresenter.h"
#include "core/shell/CommandTable.h"
#include "core/shell/OnlineCommands.h"
#include "core/shell/OptionsPresenter.h"

namespace pt {

class MainPresenter;
struct MainParts;
struct MainServices;

// The dialogs of the main window's menus, as one toolkit makes them over the presenters it
// is handed. Made only when asked for: a presenter is built when its window opens.
class ProgramDialogs {
public:
    using MakeDataReset = std::function<std::unique_ptr<ClearAllPresenter>(MessageBox& boxes)>;
    using MakeAbout = std::function<std::unique_ptr<AboutPresenter>()>;

    virtual ~ProgramDialogs() = default;
    // Modal: they return once the dialog is closed.
    virtual void runOptions(std::unique_ptr<OptionsPresenter> options) = 0;
    // The reset's boxes are raised through `boxes`, which the dialog chooses (its own, so that
    // they sit on top of it, or the program's).
    virtual void runDataReset(const MakeDataReset& makeReset) = 0;
    // Modeless, one at a time: an open box is raised unchanged, else one is made.
    virtual void showAbout(const MakeAbout& makeAbout) = 0;
    // Whether the toolkit has a window for the day history; its items are hidden where not.
    virtual bool offersDayHistory() const = 0;
    virtual void showDayHistory(DayHistory& history) = 0;
};

// Registers what the main window's menus and links do beyond the presenter's own commands:
// Options, data reset, day history, About, feedback mail and the site's pages. The same on
// every system; a composition root hands only its toolkit's dialogs and online windows.
void RegisterProgramCommands(CommandTable& commands, const MainServices& services, MainParts& parts,
                             MainPresenter& form, ProgramDialogs& dialogs, OnlineCommands& online);

}  // namespace pt
