#pragma once

#include <QDialog>
#include <memory>

#include "core/shell/OptionsPresenter.h"
#include "ui/FormBinder.h"

namespace pt {

// The Options dialog: a modal view over OptionsPresenter. Widgets carry the control
// names; the close box writes nothing.
class OptionsDialog : public QDialog {
    Q_OBJECT
public:
    explicit OptionsDialog(std::unique_ptr<OptionsPresenter> presenter, QWidget* parent = nullptr);
    ~OptionsDialog() override;

    OptionsPresenter& presenter() { return *m_presenter; }
    // Controls of the window that no widget carries (none when the view is complete).
    std::vector<std::string> unboundControls() const { return m_binder->unboundControls(); }

private:
    void onClicked(ControlId id);

    std::unique_ptr<OptionsPresenter> m_presenter;
    FormBinder* m_binder = nullptr;
};

}  // namespace pt
