#include "WholeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>

namespace pt {
namespace {

namespace fs = std::filesystem;

QString Reason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// A folder anyone may create names in, where the sticky bit keeps each user to their own
// (/tmp): a name there may have been planted by someone else.
bool IsSharedStickyFolder(const fs::path& folder) {
    struct stat st {};
    return ::stat(folder.c_str(), &st) == 0 && (st.st_mode & S_ISVTX) && (st.st_mode & S_IWOTH);
}

// Writes every byte; false with errno set on the first failure.
bool WriteAll(int fd, const std::string& bytes) {
    const char* data = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        const ssize_t done = ::write(fd, data, left);
        if (done < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += done;
        left -= static_cast<size_t>(done);
    }
    return true;
}

// The descriptor of this process that `target` names (/dev/stdout, /dev/fd/3,
// /proc/self/fd/1), following links to it: reopening it would write over a file from its
// start, or replace it, where the shell handed the program a place to append to.
std::optional<int> InheritedDescriptor(fs::path target) {
    const fs::path ownDescriptors = fs::path("/proc") / std::to_string(::getpid()) / "fd";
    for (int hop = 0; hop < 8; ++hop) {
        std::error_code ec;
        const fs::path folder = fs::canonical(target.parent_path(), ec);
        const std::string name = target.filename().string();
        if (!ec && folder == ownDescriptors && !name.empty() &&
            name.find_first_not_of("0123456789") == std::string::npos && name.size() < 10)
            return std::stoi(name);
        if (!fs::is_symlink(target, ec)) return std::nullopt;
        const fs::path next = fs::read_symlink(target, ec);
        if (ec) return std::nullopt;
        target = (next.is_absolute() ? next : target.parent_path() / next).lexically_normal();
    }
    return std::nullopt;
}

QString WriteToDescriptor(int fd, const std::string& bytes) {
    if (::fcntl(fd, F_GETFL) < 0) return Reason(errno);  // not open in this process
    return WriteAll(fd, bytes) ? QString() : Reason(errno);
}

// A FIFO or a character device is written as a stream, as `cat > file` would: it is never
// replaced by a file.
QString WriteStream(const fs::path& target, bool isFifo, const std::string& bytes,
                    const ReaderWait& readerWait) {
    // Opened without blocking: a FIFO nobody reads from would hold the program forever.
    const auto end = std::chrono::steady_clock::now() + readerWait.limit;
    int fd = -1;
    for (bool said = false;;) {
        fd = ::open(target.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
        if (fd >= 0 || !isFifo || errno != ENXIO) break;
        if (std::chrono::steady_clock::now() >= end) {
            if (readerWait.limit.count() == 0)
                return QStringLiteral("no program reads from the FIFO");
            const long long ms = readerWait.limit.count();
            return QStringLiteral("no program opened the FIFO for reading within %1")
                .arg(ms % 1000 == 0 ? QStringLiteral("%1 s").arg(ms / 1000)
                                    : QStringLiteral("%1 ms").arg(ms));
        }
        if (!said && readerWait.waiting) readerWait.waiting();
        said = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (fd < 0) return Reason(errno);
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    const bool written = WriteAll(fd, bytes);
    const int error = errno;
    if (::close(fd) != 0 && written) return Reason(errno);
    return written ? QString() : Reason(error);
}

// A new file beside the target, renamed over it once complete.
QString ReplaceFile(const fs::path& target, const struct stat* existing, const std::string& bytes) {
    std::string pattern =
        (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) return Reason(errno);
    // The rights of the file it replaces, else those of a new file under the umask.
    mode_t mode = 0;
    if (existing) {
        mode = existing->st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    bool done = ::fchmod(fd, mode) == 0 && WriteAll(fd, bytes) && ::fsync(fd) == 0;
    int error = errno;
    if (::close(fd) != 0 && done) {
        done = false;
        error = errno;
    }
    if (done && ::rename(pattern.c_str(), target.c_str()) != 0) {
        done = false;
        error = errno;
    }
    if (done) return {};
    ::unlink(pattern.c_str());
    return Reason(error);
}

}  // namespace

QString WriteWholeFile(const QString& file, const std::string& bytes,
                       const ReaderWait& readerWait) {
    fs::path target(QFile::encodeName(file).toStdString());
    if (target.empty()) return QStringLiteral("no file name");
    target = fs::absolute(target).lexically_normal();
    if (!target.has_filename()) return QStringLiteral("it is a folder");

    struct stat st {};
    const bool link = ::lstat(target.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
    // A link in a shared folder may be anyone's: never followed, as the data file's.
    if (link && IsSharedStickyFolder(target.parent_path()))
        return QStringLiteral("it is a symbolic link in a shared folder");
    if (const std::optional<int> fd = InheritedDescriptor(target))
        return WriteToDescriptor(*fd, bytes);
    if (::stat(target.c_str(), &st) != 0) {
        if (errno != ENOENT) return Reason(errno);
        if (link) return QStringLiteral("it is a symbolic link to nothing");
        return ReplaceFile(target, nullptr, bytes);
    }
    if (S_ISREG(st.st_mode)) {
        // The file the link names is replaced, beside itself; the link stays.
        if (link) {
            std::error_code ec;
            target = fs::canonical(target, ec);
            if (ec) return QString::fromStdString(ec.message());
        }
        return ReplaceFile(target, &st, bytes);
    }
    if (S_ISDIR(st.st_mode)) return QStringLiteral("it is a folder");
    if (S_ISFIFO(st.st_mode) || S_ISCHR(st.st_mode)) {
        // In a shared folder only one's own: another user's FIFO would hand them the days.
        if (st.st_uid != ::geteuid() && IsSharedStickyFolder(target.parent_path()))
            return QStringLiteral("it belongs to another user in a shared folder");
        return WriteStream(target, S_ISFIFO(st.st_mode), bytes, readerWait);
    }
    return QStringLiteral("it is not a regular file, a FIFO or a character device");
}

}  // namespace pt
