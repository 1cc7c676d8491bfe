#include "ui/QtProgramDialogs.h"

#include "ui/AboutDialog.h"
#include "ui/ClearAllDialog.h"
#include "ui/HistoryWindow.h"
#include "ui/OptionsDialog.h"

namespace pt {

void QtProgramDialogs::runOptions(std::unique_ptr<OptionsPresenter> options) {
    OptionsDialog dialog(std::move(options), m_parent);
    dialog.exec();
}

void QtProgramDialogs::runDataReset(const MakeDataReset& makeReset) {
    ClearAllDialog dialog(makeReset, m_parent);
    dialog.exec();
}

void QtProgramDialogs::showAbout(const MakeAbout& makeAbout) {
    AboutDialog::showInstance(makeAbout, m_parent);
}

void QtProgramDialogs::showDayHistory(DayHistory& history) {
    // Its boxes (a failed export) stand over it, not over the main window.
    m_historyMessages.setParent(
        HistoryWindow::showInstance(history, m_clock, m_historyMessages, m_lang, m_parent));
}

}  // namespace pt
