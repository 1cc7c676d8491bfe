#pragma once

#include <QDialog>
#include <memory>

#include "core/shell/ClearAllPresenter.h"
#include "ui/FormBinder.h"

namespace pt {

class DayAccounting;
class QtMessageBox;

// The data reset dialog: a modal view over ClearAllPresenter. Its message boxes sit on
// top of the dialog unless a MessageBox is given.
class ClearAllDialog : public QDialog {
    Q_OBJECT
public:
    ClearAllDialog(StatisticsModel& model, SettingsStore& store, Clock& clock, Language lang,
                   QWidget* parent = nullptr, MessageBox* messages = nullptr,
                   DayAccounting* days = nullptr, std::function<void()> takeMeasured = {});
    ~ClearAllDialog() override;

    ClearAllPresenter& presenter() { return *m_presenter; }
    // Controls of the window that no widget carries (none when the view is complete).
    std::vector<std::string> unboundControls() const { return m_binder->unboundControls(); }

    // Opens a fresh dialog modally and returns once it is closed. `takeMeasured` folds in
    // what was measured up to the confirmation (see ClearAllPresenter).
    static void run(StatisticsModel& model, SettingsStore& store, Clock& clock, Language lang,
                    QWidget* parent = nullptr, DayAccounting* days = nullptr,
                    std::function<void()> takeMeasured = {});

private:
    void onClicked(ControlId id);

    std::unique_ptr<QtMessageBox> m_ownBoxes;
    std::unique_ptr<ClearAllPresenter> m_presenter;
    FormBinder* m_binder = nullptr;
};

}  // namespace pt
