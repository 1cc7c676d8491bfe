#pragma once

#include <functional>
#include <memory>

#include "core/ports/MessageBox.h"
#include "core/ports/Power.h"
#include "core/texts/Language.h"

namespace pt {

// Log-off, restart and shutdown: the three confirmed buttons and the unconditional
// shutdown the schedule and the countdown use. Every request is preceded by saving all
// totals; the process ends only when the system accepted the request. The system's answer
// is never waited for: it arrives later, and a refusal is then told to the user in a box
// that does not hold up the ticks, and the program keeps running.
class PowerActions {
public:
    enum class Outcome {
        Cancelled,    // the user said no (or a request is already under way)
        TestMessage,  // test mode: the shutdown was only announced
        Requested,    // the request went out; the answer comes later
        Accepted,     // the system is going down; quit has been called
        Refused,      // the system said no; the user has been told
    };

    PowerActions(MessageBox& messages, Power& power, Language lang, bool testMode,
                 std::function<void()> saveAll, std::function<void()> quit);
    ~PowerActions();
    PowerActions(const PowerActions&) = delete;
    PowerActions& operator=(const PowerActions&) = delete;

    // confirmLogOff, confirmReboot, confirmPowerOff: confirmation first. They act in
    // test mode too.
    Outcome confirmLogOff() { return confirmed(PowerAction::LogOff); }
    Outcome confirmReboot() { return confirmed(PowerAction::Reboot); }
    Outcome confirmPowerOff() { return confirmed(PowerAction::PowerOff); }

    // Forced power-off without asking; in test mode only a message. Safe to call from a
    // tick: no box it raises waits for an answer.
    Outcome powerOffAsScheduled();

    // The flag the privilege step depends on (1: the platform wants it enabled first).
    void setNeedsPowerPrivilege(bool needed) { m_needsPowerPrivilege = needed; }

    // True once a request was accepted: nothing should act any more.
    bool ended() const { return m_ended; }
    // True while a confirmation is asked (a nested event loop may run) or a request waits
    // for the system's answer.
    bool busy() const { return m_asking || m_waiting; }

private:
    Outcome confirmed(PowerAction action);
    Outcome perform(PowerAction action);
    Outcome answered(PowerAction action, const PowerResult& result);

    MessageBox& m_messages;
    Power& m_power;
    Language m_lang;
    bool m_testMode;
    std::function<void()> m_saveAll;
    std::function<void()> m_quit;
    bool m_ended = false;
    bool m_needsPowerPrivilege = true;
    bool m_asking = false;
    bool m_waiting = false;
    // Dropped on destruction: an answer arriving afterwards is ignored.
    std::shared_ptr<PowerActions*> m_self = std::make_shared<PowerActions*>(this);
};

}  // namespace pt
