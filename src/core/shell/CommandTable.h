#pragma once

#include <functional>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "core/form/ControlId.h"

namespace pt {

// What a click on each control of one window does. Every part that answers clicks (the
// window's presenter, the shutdown schedule, the composition root with its dialogs)
// registers its own commands here; the view looks a click up once.
class CommandTable {
public:
    using Command = std::function<void()>;

    // Registers what a click on `id` does. A control has one command: a second registration
    // is a wiring fault and throws std::logic_error.
    void add(ControlId id, Command command);
    bool has(ControlId id) const;
    // Runs the control's command; false when it has none.
    bool run(ControlId id) const;

    // Of `controls`, those that have no command, in order.
    std::vector<std::string> withoutCommand(std::span<const std::string> controls) const;

private:
    std::map<std::string, Command, std::less<>> m_commands;
};

}  // namespace pt
