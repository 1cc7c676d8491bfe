#include "core/shell/CommandTable.h"

#include <stdexcept>

namespace pt {

void CommandTable::add(ControlId id, Command command) {
    const auto [at, added] = m_commands.try_emplace(std::string(id.name), std::move(command));
    if (!added) throw std::logic_error("a second command for control " + at->first);
}

bool CommandTable::has(ControlId id) const {
    return m_commands.find(id.name) != m_commands.end();
}

bool CommandTable::run(ControlId id) const {
    const auto it = m_commands.find(id.name);
    if (it == m_commands.end()) return false;
    it->second();
    return true;
}

std::vector<std::string> CommandTable::withoutCommand(std::span<const std::string> controls) const {
    std::vector<std::string> missing;
    for (const std::string& name : controls)
        if (m_commands.find(name) == m_commands.end()) missing.push_back(name);
    return missing;
}

}  // namespace pt
