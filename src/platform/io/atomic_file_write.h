// Writing a file so that readers see either the old or the new content.
#ifndef ZVXML_PLATFORM_IO_ATOMIC_FILE_WRITE_H
#define ZVXML_PLATFORM_IO_ATOMIC_FILE_WRITE_H

#include <memory>
#include <string>
#include <string_view>

namespace ZVXML {
namespace platform {

// Writes `bytes` to the file at `path` (a UTF-8 path). Returns an empty
// string on success; otherwise a description naming the path and the
// system's reason.
//
// A regular file, or a path where nothing exists yet, is written through a
// temporary file in the same folder that is flushed to disk and then renamed
// over the target, so the target is never seen half written and a failure
// leaves it as it was (and leaves no temporary file). A replaced file keeps
// its permission bits (and its owner, where we are allowed to set it); a new
// one gets 0666 less the umask. A symbolic link is followed: the file it
// points to is replaced, the link stays.
//
// Any other existing target (a character device, a pipe) is written in
// place: renaming over a device would remove the device.
std::string WriteFileAtomically(const std::string& path, std::string_view bytes);

// The same, for content written piece by piece: Open, Write as often as
// needed, then Commit. Each returns an empty string on success, else a
// description as above; after a failure only destruction is left. Until
// Commit succeeds the target is as it was: destroying an uncommitted output
// removes its temporary file (a target written in place keeps what was
// written).
class AtomicFileOutput {
public:
    AtomicFileOutput();
    ~AtomicFileOutput();
    AtomicFileOutput(const AtomicFileOutput&) = delete;
    AtomicFileOutput& operator=(const AtomicFileOutput&) = delete;

    std::string Open(const std::string& path);
    std::string Write(std::string_view bytes);
    std::string Commit();

private:
    struct State;
    std::string Failure(int error) const;
    std::unique_ptr<State> m_state;
};

} // namespace platform
} // namespace ZVXML

#endif
