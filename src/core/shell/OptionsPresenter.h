#pragma once

#include <string>

#include "core/form/DialogControls.h"
#include "core/form/FormModel.h"
#include "core/ports/AutostartEntry.h"
#include "core/ports/SettingsStore.h"
#include "core/ports/SystemInfo.h"
#include "core/shell/ClickHookSwitch.h"
#include "core/texts/Language.h"

namespace pt {

// The Options dialog: starting with the session, switching click counting off, and the
// hidden online-update setting written back. Each opening builds a fresh presenter, so
// every open starts from the stored values. Controls: "FormOption" (window title),
// Check1..Check4, Command1 (OK: apply and close), Command2 and Command3 (close only).
class OptionsPresenter {
public:
    OptionsPresenter(SettingsStore& store, AutostartEntry& autostart, SystemInfo& system,
                     Language lang, ClickHookSwitch hook);

    FormModel& form() { return m_form; }

    // A button or check box by its control name.
    void click(ControlId id);
    void accept();
    // Command2, Command3 and the close box: nothing is written.
    void cancel() { m_closeRequested = true; }

    bool closeRequested() const { return m_closeRequested; }

private:
    void fillForm();
    bool isChecked(ControlId id) { return m_form.get(id).checked; }

    SettingsStore& m_store;
    AutostartEntry& m_autostart;
    SystemInfo& m_system;
    Language m_lang;
    ClickHookSwitch m_hook;
    FormModel m_form{options_controls::All};
    bool m_closeRequested = false;
};

}  // namespace pt
