#include "platform/io/atomic_file_write.h"

#include "platform/io/file_descriptor.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ZVXML {
namespace platform {
namespace {

// Linux follows at most 40 links in a path; so do we.
constexpr int kMaxLinkHops = 40;
// Room left in a file name for the temporary name's dot and random suffix.
constexpr std::size_t kMaxBaseInTemporaryName = NAME_MAX - 16;
// Some file systems write at most this much in one call.
constexpr std::size_t kMaxWriteChunk = 1 << 30;

std::string Folder(const std::string& path)
{
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseName(const std::string& path)
{
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Returns 0 or an errno value.
int ReadLink(const std::string& path, std::string& target)
{
    std::size_t size = 256;
    for (;;) {
        target.assign(size, '\0');
        ssize_t length = ::readlink(path.c_str(), target.data(), size);
        if (length < 0) {
            return errno;
        }
        if (static_cast<std::size_t>(length) < size) {
            target.resize(static_cast<std::size_t>(length));
            return 0;
        }
        size *= 2;
    }
}

// The path that a write through `path` would reach: the final target of a
// chain of symbolic links (which need not exist yet). Returns 0 or an errno.
int FollowLinks(const std::string& path, std::string& resolved)
{
    resolved = path;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        struct stat status;
        if (::lstat(resolved.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
            return 0; // what does not exist (yet) is created by the write
        }
        std::string target;
        if (int error = ReadLink(resolved, target)) {
            return error;
        }
        resolved = (!target.empty() && target[0] == '/') ? target : Folder(resolved) + "/" + target;
    }
    return ELOOP;
}

// The process's umask, read without changing it: calling umask() to learn
// it would briefly change it for every thread.
mode_t CurrentUmask()
{
    if (std::FILE* status = std::fopen("/proc/self/status", "re")) {
        char line[256];
        unsigned int mask = 0;
        bool found = false;
        while (!found && std::fgets(line, sizeof line, status) != nullptr) {
            found = std::sscanf(line, "Umask: %o", &mask) == 1;
        }
        std::fclose(status);
        if (found) {
            return static_cast<mode_t>(mask);
        }
    }
    static std::mutex mutex;
    std::lock_guard<std::mutex> guard(mutex);
    mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

int WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        ssize_t written = ::write(fd, bytes.data(), std::min(bytes.size(), kMaxWriteChunk));
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written < 0) {
            return errno;
        }
        if (written == 0) {
            return EIO; // no progress and no reason: do not spin
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

// Opens an existing target that is not a regular file for writing in place.
// Returns 0 or an errno value.
int OpenInPlace(const std::string& target, const struct stat& status, FileDescriptor& file)
{
    // A pipe without a reader would block the save forever; open it without
    // waiting (that fails with ENXIO) and then write in blocking mode.
    int flags = O_WRONLY | O_CLOEXEC | O_NOCTTY | (S_ISFIFO(status.st_mode) ? O_NONBLOCK : 0);
    file = FileDescriptor(::open(target.c_str(), flags));
    if (!file.IsOpen()) {
        return errno;
    }
    if ((flags & O_NONBLOCK) != 0) {
        int current = ::fcntl(file.get(), F_GETFL);
        if (current < 0 || ::fcntl(file.get(), F_SETFL, current & ~O_NONBLOCK) != 0) {
            return errno;
        }
    }
    return 0;
}

// A file created beside the target, removed again unless it was renamed.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::string& target)
        : m_name(Folder(target) + "/." + BaseName(target).substr(0, kMaxBaseInTemporaryName) + ".XXXXXX"),
          m_file(::mkostemp(m_name.data(), O_CLOEXEC))
    {
    }
    ~TemporaryFile()
    {
        if (m_file.IsOpen() || m_mustRemove) {
            m_file.Close();
            ::unlink(m_name.c_str());
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    int fd() const { return m_file.get(); }
    bool IsOpen() const { return m_file.IsOpen(); }

    int Close()
    {
        m_mustRemove = true;
        return m_file.Close() == 0 ? 0 : errno;
    }
    int RenameTo(const std::string& target)
    {
        if (::rename(m_name.c_str(), target.c_str()) != 0) {
            return errno;
        }
        m_mustRemove = false;
        return 0;
    }

private:
    std::string m_name;
    FileDescriptor m_file;
    bool m_mustRemove = false;
};

int TakeOverOwnerAndMode(int fd, const struct stat* existing)
{
    if (existing == nullptr) {
        return ::fchmod(fd, 0666 & ~CurrentUmask()) == 0 ? 0 : errno;
    }
    if (existing->st_uid != ::geteuid() || existing->st_gid != ::getegid()) {
        // Only a privileged process may give a file away; anyone else keeps
        // the file as their own, as an editor saving it would.
        (void)::fchown(fd, existing->st_uid, existing->st_gid);
    }
    return ::fchmod(fd, existing->st_mode & 07777) == 0 ? 0 : errno;
}

// Makes the rename itself durable. Best effort: the file is already in
// place, and not every file system can sync a folder.
void SyncFolder(const std::string& folder)
{
    FileDescriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.IsOpen()) {
        (void)::fsync(dir.get());
    }
}

} // namespace

struct AtomicFileOutput::State {
    std::string path; // as given, for messages
    std::string target; // the path with its symbolic links followed
    std::unique_ptr<TemporaryFile> temporary; // beside a regular target
    FileDescriptor inPlace; // any other existing target
};

AtomicFileOutput::AtomicFileOutput() = default;
AtomicFileOutput::~AtomicFileOutput() = default;

std::string AtomicFileOutput::Failure(int error) const
{
    const std::string path = m_state ? m_state->path : std::string();
    return "Cannot write file '" + path + "': " + std::generic_category().message(error);
}

std::string AtomicFileOutput::Open(const std::string& path)
{
    m_state = std::make_unique<State>();
    m_state->path = path;
    if (int error = FollowLinks(path, m_state->target)) {
        return Failure(error);
    }
    struct stat status;
    const bool exists = ::stat(m_state->target.c_str(), &status) == 0;
    if (!exists && errno != ENOENT) {
        return Failure(errno);
    }
    if (exists && !S_ISREG(status.st_mode)) {
        int error = OpenInPlace(m_state->target, status, m_state->inPlace);
        return error == 0 ? std::string() : Failure(error);
    }
    m_state->temporary = std::make_unique<TemporaryFile>(m_state->target);
    if (!m_state->temporary->IsOpen()) {
        return Failure(errno);
    }
    if (int error = TakeOverOwnerAndMode(m_state->temporary->fd(), exists ? &status : nullptr)) {
        return Failure(error);
    }
    return std::string();
}

std::string AtomicFileOutput::Write(std::string_view bytes)
{
    const int fd = m_state->temporary ? m_state->temporary->fd() : m_state->inPlace.get();
    int error = WriteAll(fd, bytes);
    return error == 0 ? std::string() : Failure(error);
}

std::string AtomicFileOutput::Commit()
{
    if (!m_state->temporary) {
        return m_state->inPlace.Close() == 0 ? std::string() : Failure(errno);
    }
    // Everything that allocates comes before the rename: once the file is
    // replaced, the write must not fail.
    const std::string folder = Folder(m_state->target);
    TemporaryFile& temporary = *m_state->temporary;
    if (::fsync(temporary.fd()) != 0) {
        return Failure(errno);
    }
    if (int error = temporary.Close()) {
        return Failure(error);
    }
    if (int error = temporary.RenameTo(m_state->target)) {
        return Failure(error);
    }
    SyncFolder(folder);
    return std::string();
}

std::string WriteFileAtomically(const std::string& path, std::string_view bytes)
{
    AtomicFileOutput output;
    std::string failure = output.Open(path);
    if (failure.empty()) {
        failure = output.Write(bytes);
    }
    return failure.empty() ? output.Commit() : failure;
}

} // namespace platform
} // namespace ZVXML
