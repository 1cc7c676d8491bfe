#pragma once

#include <QDialog>
#include <memory>

#include "shell/FormOptionPresenter.h"

namespace pt {

class FormBinder;

// The Options dialog: a modal view over FormOptionPresenter. Widgets carry the control
// names; the close box writes nothing.
class FormOption : public QDialog {
    Q_OBJECT
public:
    FormOption(SettingsStore& store, AutostartEntry& autostart, SystemInfo& system, Wlang lang,
               ClickHookSwitch hook, QWidget* parent = nullptr);
    ~FormOption() override;

    FormOptionPresenter& presenter() { return *m_presenter; }

    // Opens a fresh dialog modally and returns once it is closed.
    static void run(SettingsStore& store, AutostartEntry& autostart, SystemInfo& system, Wlang lang,
                    ClickHookSwitch hook, QWidget* parent = nullptr);

private:
    void onClicked(const std::string& name);

    std::unique_ptr<FormOptionPresenter> m_presenter;
    FormBinder* m_binder = nullptr;
};

}  // namespace pt
