#pragma once

#include <string>

#include "core/ports/SystemInfo.h"

namespace pt {

class LinuxSystemInfo : public SystemInfo {
public:
    std::string computerName() override;
    std::string userName() override;
    std::string programFolder() override;
    std::string executablePath() override;
    // The system default locale: LANG of /etc/locale.conf or /etc/default/locale, else the
    // environment. PATHTALLY_LOCALE_CONF names another file to read first (tests).
    int systemLocaleId() override;
};

// Windows-style locale id of a POSIX locale name: zh_CN -> 2052, zh_TW/zh_HK -> 1028,
// en_US -> 1033; unknown names give 1033.
int LocaleIdFromName(const std::string& name);

// The LANG value of a locale.conf-style text, or empty.
std::string LangFromLocaleConf(const std::string& text);

}  // namespace pt
