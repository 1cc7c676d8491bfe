#include "platform/windows/RunKeyAutostart.h"

namespace pt {
namespace {

constexpr std::string_view RegistryRunKey = "software\\microsoft\\windows\\currentversion\\run";
constexpr std::string_view RunValueName = "Pathtally";

}  // namespace

std::string RunKeyAutostart::read() {
    return ReadSetting(m_store, RegistryRunKey, RunValueName);
}

void RunKeyAutostart::write(const std::string& path) {
    WriteSetting(m_store, RegistryRunKey, RunValueName, path);
}

}  // namespace pt
