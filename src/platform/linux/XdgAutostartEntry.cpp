#include "XdgAutostartEntry.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <system_error>

namespace pt {

namespace fs = std::filesystem;

namespace {

constexpr const char* FileName = "pathtally.desktop";
constexpr const char* IconName = "net.pathtally.Pathtally";
constexpr std::string_view Group = "[Desktop Entry]";

// Characters that force an Exec argument into double quotes.
constexpr std::string_view Reserved = " \t\n\"'\\><~|&;$*?#()`";

std::string Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return std::string(text);
}

// The string escapes of desktop entry values: \s \n \t \r \\ .
std::string UnescapeValue(std::string_view value) {
    std::string out;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        switch (value[++i]) {
            case 's':
                out += ' ';
                break;
            case 'n':
                out += '\n';
                break;
            case 't':
                out += '\t';
                break;
            case 'r':
                out += '\r';
                break;
            case '\\':
                out += '\\';
                break;
            default:
                out += '\\';
                out += value[i];
        }
    }
    return out;
}

std::string EscapeValue(std::string_view value) {
    std::string out;
    for (char c : value) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += c;
        }
    }
    return out;
}

// The keys of the [Desktop Entry] group, values unescaped.
struct Entry {
    std::string exec;
    bool hasExec = false;
    std::string icon;
    std::string path;
    std::string tryExec;
    bool hidden = false;
    bool disabled = false;
};

std::optional<Entry> ReadEntry(const fs::path& file) {
    std::ifstream in(file);
    if (!in) return std::nullopt;
    Entry entry;
    bool inGroup = false;
    std::string line;
    while (std::getline(in, line)) {
        const std::string trimmed = Trim(line);
        if (trimmed.empty() || trimmed.front() == '#') continue;
        if (trimmed.front() == '[') {
            inGroup = trimmed == Group;
            continue;
        }
        if (!inGroup) continue;
        const size_t eq = trimmed.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = Trim(std::string_view(trimmed).substr(0, eq));
        const std::string value = UnescapeValue(Trim(std::string_view(trimmed).substr(eq + 1)));
        if (key == "Exec") {
            entry.exec = value;
            entry.hasExec = true;
        } else if (key == "Icon") {
            entry.icon = value;
        } else if (key == "Path") {
            entry.path = value;
        } else if (key == "TryExec") {
            entry.tryExec = value;
        } else if (key == "Hidden") {
            entry.hidden = value == "true";
        } else if (key == "X-GNOME-Autostart-enabled") {
            entry.disabled = value == "false";
        }
    }
    return entry;
}

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
    return "/";
}

std::string RunningExecutable() {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : exe.string();
}

// Writes the whole file next to its final place, then renames it over the old one, so a
// reader sees either the old or the new entry, never a half-written one.
bool WriteAtomically(const fs::path& file, const std::string& content) {
    std::error_code ec;
    fs::create_directories(file.parent_path(), ec);
    std::string name = ".";
    name += file.filename().string();
    name += ".XXXXXX";
    std::string pattern = file.parent_path() / name;
    const int fd = mkstemp(pattern.data());
    if (fd < 0) return false;
    bool ok = fchmod(fd, 0644) == 0;
    size_t done = 0;
    while (ok && done < content.size()) {
        const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        if (n < 0 && errno == EINTR) continue;
        ok = n > 0;
        if (ok) done += static_cast<size_t>(n);
    }
    ok = ok && fsync(fd) == 0;
    ok = (close(fd) == 0) && ok;
    if (ok) ok = std::rename(pattern.c_str(), file.c_str()) == 0;
    if (!ok) unlink(pattern.c_str());
    return ok;
}

}  // namespace

XdgAutostartEntry::XdgAutostartEntry()
    : m_file(DefaultFolder() / FileName), m_workingFolder(DataFolder()) {}

XdgAutostartEntry::XdgAutostartEntry(fs::path file, fs::path workingFolder)
    : m_file(std::move(file)), m_workingFolder(std::move(workingFolder)) {}

fs::path XdgAutostartEntry::DefaultFolder() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    // Relative values are invalid and ignored, as the base-directory rules require.
    fs::path base = (config && *config && config[0] == '/') ? fs::path(config)
                                                            : fs::path(HomeFolder()) / ".config";
    return base / "autostart";
}

std::string XdgAutostartEntry::ExecValue(const std::string& program) {
    std::string arg;
    const bool quote = program.empty() || program.find_first_of(Reserved) != std::string::npos;
    if (quote) arg += '"';
    for (char c : program) {
        if (c == '%') {
            arg += "%%";
        } else if (quote && (c == '"' || c == '`' || c == '$' || c == '\\')) {
            arg += '\\';
            arg += c;
        } else {
            arg += c;
        }
    }
    if (quote) arg += '"';
    return arg;
}

std::optional<std::string> XdgAutostartEntry::ProgramOfExec(const std::string& exec) {
    size_t i = 0;
    const auto blank = [&](size_t at) { return exec[at] == ' ' || exec[at] == '\t'; };
    while (i < exec.size() && blank(i)) ++i;
    if (i == exec.size()) return std::nullopt;
    std::string program;
    if (exec[i] == '"') {
        bool closed = false;
        for (++i; i < exec.size(); ++i) {
            if (exec[i] == '\\' && i + 1 < exec.size()) {
                program += exec[++i];
            } else if (exec[i] == '"') {
                closed = true;
                ++i;
                break;
            } else {
                program += exec[i];
            }
        }
        if (!closed) return std::nullopt;
    } else {
        while (i < exec.size() && !blank(i)) program += exec[i++];
    }
    while (i < exec.size() && blank(i)) ++i;
    if (i != exec.size()) return std::nullopt;  // further arguments

    // "%%" is a literal percent sign; any other field code is not part of a path.
    std::string out;
    for (size_t k = 0; k < program.size(); ++k) {
        if (program[k] != '%') {
            out += program[k];
        } else if (k + 1 < program.size() && program[k + 1] == '%') {
            out += '%';
            ++k;
        } else {
            return std::nullopt;
        }
    }
    return out;
}

std::string XdgAutostartEntry::read() {
    const std::optional<Entry> entry = ReadEntry(m_file);
    if (!entry || !entry->hasExec || entry->hidden || entry->disabled) return {};
    // An Exec that is not one plain program is returned as it stands: it never equals the
    // program's path, so the next comparison rewrites it.
    const std::optional<std::string> program = ProgramOfExec(entry->exec);
    if (!program) return entry->exec;
    // An entry written before it named the icon, the working folder and the program to look
    // for is brought up to date; it goes on running the same program.
    if (entry->icon != IconName || entry->path != m_workingFolder.string() ||
        entry->tryExec != *program)
        write(*program);
    return *program;
}

void XdgAutostartEntry::write(const std::string& path) {
    const bool enabled = !path.empty();
    std::string exec;
    if (enabled) {
        exec = ExecValue(path);
    } else {
        // Switched off: the entry stays, still naming the program it ran.
        const std::optional<Entry> old = ReadEntry(m_file);
        if (old && old->hasExec && !old->exec.empty())
            exec = old->exec;
        else
            exec = ExecValue(RunningExecutable());
    }

    // Path: where the data file lives; the program also goes there itself at start.
    // TryExec: the session skips the entry once the program is gone (a removed package).
    const std::optional<std::string> program = ProgramOfExec(exec);
    std::ostringstream out;
    out << Group << '\n'
        << "Type=Application\n"
        << "Name=Pathtally\n"
        << "Comment=Measures mouse travel, clicks, keystrokes and computer use time\n"
        << "Exec=" << EscapeValue(exec) << '\n';
    if (program && !program->empty()) out << "TryExec=" << EscapeValue(*program) << '\n';
    out << "Icon=" << IconName << '\n'
        << "Path=" << EscapeValue(m_workingFolder.string()) << '\n'
        << "Terminal=false\n"
        << "StartupNotify=false\n"
        // Give the panel time to offer its tray before the program looks for one.
        << "X-GNOME-Autostart-Delay=5\n"
        << "X-KDE-autostart-after=panel\n"
        << "X-GNOME-Autostart-enabled=" << (enabled ? "true" : "false") << '\n'
        << "Hidden=" << (enabled ? "false" : "true") << '\n';
    WriteAtomically(m_file, out.str());
}

}  // namespace pt
