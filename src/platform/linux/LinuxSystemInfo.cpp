#include "LinuxSystemInfo.h"

#include <pwd.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSysInfo>
#include <fstream>
#include <map>
#include <sstream>

#include "core/persistence/DataFile.h"
#include "platform/linux/SettingsDatabase.h"

namespace pt {

std::vector<std::string> LinuxSystemInfo::storagePlaces() {
    return {QDir::current()
                .filePath(QString::fromUtf8(DataFileName.data(),
                                            static_cast<qsizetype>(DataFileName.size())))
                .toStdString(),
            SettingsDatabase::DefaultPath().string()};
}

std::string LinuxSystemInfo::computerName() {
    return QSysInfo::machineHostName().left(255).toStdString();
}

std::string LinuxSystemInfo::userName() {
    std::string name;
    if (const passwd* pw = getpwuid(geteuid())) name = pw->pw_name;
    if (name.empty()) {
        const char* env = std::getenv("USER");
        name = env ? env : "";
    }
    return name.substr(0, 25);
}

std::string LinuxSystemInfo::programFolder() {
    return QCoreApplication::applicationDirPath().toStdString();
}

std::string LinuxSystemInfo::executablePath() {
    return QFileInfo(QCoreApplication::applicationFilePath()).absoluteFilePath().toStdString();
}

std::string LangFromLocaleConf(const std::string& text) {
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        auto start = line.find_first_not_of(" \t");
        if (start == std::string::npos) continue;
        line = line.substr(start);
        if (line.rfind("LANG=", 0) != 0) continue;
        std::string value = line.substr(5);
        while (!value.empty() && (value.back() == '\r' || value.back() == ' ')) value.pop_back();
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\''))
            value = value.substr(1, value.size() - 2);
        return value;
    }
    return {};
}

int LocaleIdFromName(const std::string& name) {
    std::string base = name.substr(0, name.find_first_of(".@"));
    static const std::map<std::string, int> ids = {
        {"zh_CN", 2052}, {"zh_SG", 4100}, {"zh_TW", 1028}, {"zh_HK", 3076 /* Traditional */},
        {"en_US", 1033}, {"en_GB", 2057}, {"ja_JP", 1041}, {"de_DE", 1031},
        {"fr_FR", 1036}};
    auto it = ids.find(base);
    if (it == ids.end()) return 1033;
    // Hong Kong uses Traditional script: treat it as Taiwan's Traditional code.
    return it->second == 3076 ? 1028 : it->second;
}

int LinuxSystemInfo::systemLocaleId() {
    std::vector<std::string> files;
    if (const char* conf = std::getenv("PATHTALLY_LOCALE_CONF")) files.push_back(conf);
    files.push_back("/etc/locale.conf");
    files.push_back("/etc/default/locale");
    for (const auto& file : files) {
        std::ifstream in(file);
        if (!in) continue;
        std::stringstream buf;
        buf << in.rdbuf();
        std::string lang = LangFromLocaleConf(buf.str());
        if (!lang.empty()) return LocaleIdFromName(lang);
    }
    for (const char* var : {"LC_ALL", "LANG"}) {
        const char* v = std::getenv(var);
        if (v && *v) return LocaleIdFromName(v);
    }
    return 1033;
}

}  // namespace pt
