#pragma once

#include <QPointer>
#include <QWidget>

#include "core/ports/Clock.h"
#include "core/ports/MessageBox.h"
#include "core/shell/ProgramCommands.h"
#include "core/texts/Language.h"

namespace pt {

// The main window's dialogs as Qt Widgets, each over the presenter it is handed, on top of
// `parent`; the day history in its window.
class QtProgramDialogs : public ProgramDialogs {
public:
    QtProgramDialogs(QWidget* parent, const Clock& clock, MessageBox& messages, Language lang)
        : m_parent(parent), m_clock(clock), m_messages(messages), m_lang(lang) {}

    void runOptions(std::unique_ptr<OptionsPresenter> options) override;
    void runDataReset(const MakeDataReset& makeReset) override;
    void showAbout(const MakeAbout& makeAbout) override;
    bool offersDayHistory() const override { return true; }
    void showDayHistory(DayHistory& history) override;

private:
    QPointer<QWidget> m_parent;
    const Clock& m_clock;
    MessageBox& m_messages;
    Language m_lang;
};

}  // namespace pt
