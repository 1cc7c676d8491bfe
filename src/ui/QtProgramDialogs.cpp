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
    HistoryWindow::showInstance(history, m_clock, m_messages, m_lang, m_parent);
}

}  // namespace pt
