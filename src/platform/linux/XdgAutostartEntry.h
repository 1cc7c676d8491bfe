#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "core/ports/AutostartEntry.h"
#include "platform/linux/DataFolder.h"

namespace pt {

// The session autostart entry as an XDG autostart file,
// $XDG_CONFIG_HOME/autostart/pathtally.desktop (default ~/.config/autostart). The entry
// runs the program by its absolute path, in the data folder, with the program's icon. Writing an
// empty path keeps the file but marks it Hidden=true, which desktops treat as switched off. Every
// write replaces the file atomically (temporary file, then rename); failures are silent, as the
// interface says.
class XdgAutostartEntry : public AutostartEntry {
public:
    // Uses the XDG folder of the environment.
    XdgAutostartEntry();
    // Uses a given file (tests, or a desktop that keeps autostart entries elsewhere).
    explicit XdgAutostartEntry(std::filesystem::path file,
                               std::filesystem::path workingFolder = DataFolder());

    std::string read() override;
    void write(const std::string& path) override;

    const std::filesystem::path& file() const { return m_file; }
    // The autostart folder of the environment: $XDG_CONFIG_HOME when it is an absolute
    // path, else $HOME/.config, followed by "autostart".
    static std::filesystem::path DefaultFolder();

    // An Exec value running one program with no arguments, quoted and escaped as desktop
    // entries require when the path has reserved characters.
    static std::string ExecValue(const std::string& program);
    // The program of an Exec value: the first argument unquoted, or nullopt when the value
    // is malformed or has further arguments (it then runs something else than a path).
    static std::optional<std::string> ProgramOfExec(const std::string& exec);

private:
    std::filesystem::path m_file;
    std::filesystem::path m_workingFolder;
};

}  // namespace pt
