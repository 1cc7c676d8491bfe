#pragma once

#include <functional>

#include "platform/MessageBox.h"
#include "platform/Power.h"
#include "texts/Language.h"

namespace pt {

// Log-off, restart and shutdown: the three confirmed buttons and the unconditional
// shutdown the schedule and the countdown use. Every request is preceded by saving all
// totals; the process ends only when the system accepted the request. A refusal is told
// to the user and the program keeps running.
class PowerActions {
public:
    enum class Outcome {
        Cancelled,    // the user said no
        TestMessage,  // test mode: the shutdown was only announced
        Accepted,     // the system is going down; quit has been called
        Refused,      // the system said no; the user has been told
    };

    PowerActions(MessageBox& messages, Power& power, Wlang lang, bool testMode,
                 std::function<void()> saveAll, std::function<void()> quit);

    // cmdLogoff_Click, cmdReboot_Click, cmdShutdown_Click: confirmation first. They act in
    // test mode too.
    Outcome cmdLogoff_Click() { return confirmed(PowerAction::LogOff); }
    Outcome cmdReboot_Click() { return confirmed(PowerAction::Reboot); }
    Outcome cmdShutdown_Click() { return confirmed(PowerAction::PowerOff); }

    // Forced power-off without asking; in test mode only a message.
    Outcome ShutComputer();

    // The flag the privilege step depends on (1: the platform wants it enabled first).
    void setWhichWindows32(int flag) { m_whichWindows32 = flag; }

    // True once a request was accepted: nothing should act any more.
    bool ended() const { return m_ended; }
    // True while a request or its message is under way (a nested event loop may run).
    bool busy() const { return m_busy; }

private:
    Outcome confirmed(PowerAction action);
    Outcome perform(PowerAction action);

    MessageBox& m_messages;
    Power& m_power;
    Wlang m_lang;
    bool m_testMode;
    std::function<void()> m_saveAll;
    std::function<void()> m_quit;
    bool m_ended = false;
    int m_whichWindows32 = 1;
    bool m_busy = false;
};

}  // namespace pt
