#include "core/shell/OptionsPresenter.h"

#include "core/form/DialogControls.h"
#include "core/persistence/ValueNames.h"
#include "core/texts/DialogTexts.h"

namespace pt {

using namespace options_controls;

OptionsPresenter::OptionsPresenter(SettingsStore& store, AutostartEntry& autostart,
                                   SystemInfo& system, Language lang, ClickHookSwitch hook)
    : m_store(store),
      m_autostart(autostart),
      m_system(system),
      m_lang(lang),
      m_hook(std::move(hook)) {
    fillForm();
}

void OptionsPresenter::fillForm() {
    m_form.setText(Window, options_texts::Window.in(m_lang));
    m_form.setText(StartWithSystem, options_texts::StartWithSystem.in(m_lang));
    m_form.setText(CheckForUpdates, options_texts::CheckForUpdates.in(m_lang));
    m_form.setText(NoClickCounting, options_texts::NoClickCounting.in(m_lang));
    m_form.setText(NoKeyCounting, options_texts::NoKeyCounting.in(m_lang));
    m_form.setText(Ok, options_texts::Ok.in(m_lang));
    m_form.setText(Apply, options_texts::Apply.in(m_lang));
    m_form.setText(Cancel, options_texts::Cancel.in(m_lang));

    m_form.setChecked(StartWithSystem, ReadTrimmedSetting(m_store, MainKey, value::Aopen) != "0");
    m_form.setChecked(CheckForUpdates,
                      ReadTrimmedSetting(m_store, MainKey, value::UpdateCK) != "0");
    m_form.setVisible(CheckForUpdates, false);
    m_form.setChecked(NoClickCounting, ReadTrimmedSetting(m_store, MainKey, value::AddHook) == "1");
    m_form.setChecked(NoKeyCounting, false);
    m_form.setEnabled(NoKeyCounting, false);
}

void OptionsPresenter::click(ControlId id) {
    if (id == Ok)
        accept();
    else if (id == Apply || id == Cancel)
        cancel();
}

void OptionsPresenter::accept() {
    if (m_closeRequested) return;  // a second click before the window closes applies nothing

    // 1. Autostart: the entry is rewritten only when it differs from this program's path,
    // which also repairs an entry left behind by a moved program.
    if (isChecked(StartWithSystem)) {
        const std::string path = m_system.executablePath();
        if (path.empty()) {
            // The program's own path is unknown: leave the entry as it is rather than
            // write an empty one, which would switch it off.
        } else if (m_autostart.read() != path) {
            m_autostart.write(path);
            WriteSetting(m_store, MainKey, value::Aopen, "1");
        } else if (ReadTrimmedSetting(m_store, MainKey, value::Aopen) == "0") {
            // The entry was switched back on outside the program: record the wish, or the
            // box would show unticked again on the next open.
            WriteSetting(m_store, MainKey, value::Aopen, "1");
        }
    } else {
        m_autostart.write("");  // kept, but switched off
        WriteSetting(m_store, MainKey, value::Aopen, "0");
    }

    // 2. The hidden update setting goes back as loaded (a missing value becomes "1").
    WriteSetting(m_store, MainKey, value::UpdateCK, isChecked(CheckForUpdates) ? "1" : "0");

    // 3. Click counting, applied at once; never a second hook.
    if (isChecked(NoClickCounting)) {
        WriteSetting(m_store, MainKey, value::AddHook, "1");
        if (m_hook.remove) m_hook.remove();
    } else {
        WriteSetting(m_store, MainKey, value::AddHook, "0");
        const bool installed = m_hook.isInstalled && m_hook.isInstalled();
        if (!installed && m_hook.install) m_hook.install();
    }

    // 4. Keyboard counting cannot be switched off here; nothing reads this value.
    WriteSetting(m_store, MainKey, value::AddSysHook, isChecked(NoKeyCounting) ? "1" : "0");

    m_closeRequested = true;
}

}  // namespace pt
