#pragma once

#include <QDialog>
#include <memory>

#include "core/shell/ClearAllPresenter.h"
#include "core/shell/ProgramCommands.h"
#include "ui/FormBinder.h"

namespace pt {

class DayAccounting;
class QtMessageBox;

// The data reset dialog: a modal view over ClearAllPresenter. Its message boxes sit on
// top of the dialog unless a MessageBox is given.
class ClearAllDialog : public QDialog {
    Q_OBJECT
public:
    // The presenter made with the boxes given, else with boxes of the dialog's own.
    explicit ClearAllDialog(const ProgramDialogs::MakeDataReset& makePresenter,
                            QWidget* parent = nullptr, MessageBox* messages = nullptr);
    ~ClearAllDialog() override;

    ClearAllPresenter& presenter() { return *m_presenter; }
    // Controls of the window that no widget carries (none when the view is complete).
    std::vector<std::string> unboundControls() const { return m_binder->unboundControls(); }

private:
    void onClicked(ControlId id);

    std::unique_ptr<QtMessageBox> m_ownBoxes;
    std::unique_ptr<ClearAllPresenter> m_presenter;
    FormBinder* m_binder = nullptr;
};

}  // namespace pt
