#include "progress_meter.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace zvcli {
namespace {

constexpr long long kSmallDocument = 8ll << 20;

std::string Grouped(long long value)
{
    std::string digits = std::to_string(value);
    for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3) {
        digits.insert(static_cast<std::size_t>(i), ",");
    }
    return digits;
}

} // namespace

ProgressMeter::ProgressMeter(const std::string& path, bool wanted) : m_path(path)
{
    std::error_code error;
    m_size = static_cast<long long>(std::filesystem::file_size(path, error));
    m_enabled = wanted && !error && m_size > kSmallDocument && isatty(STDERR_FILENO);
    m_start = m_lastDraw = std::chrono::steady_clock::now();
}

ProgressMeter::~ProgressMeter()
{
    if (m_enabled) {
        std::fprintf(stderr, "\r\033[K");
        std::fflush(stderr);
    }
}

// The library reads the file itself; how far it got is the position of its
// descriptor, which Linux shows in /proc.
long long ProgressMeter::BytesRead()
{
    if (m_fd == -2) {
        m_fd = -1;
        std::error_code error;
        const std::filesystem::path wanted = std::filesystem::canonical(m_path, error);
        for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
            std::error_code linkError;
            if (std::filesystem::read_symlink(entry.path(), linkError) == wanted && !linkError) {
                m_fd = std::atoi(entry.path().filename().c_str());
            }
        }
    }
    if (m_fd < 0) {
        return -1;
    }
    std::ifstream info("/proc/self/fdinfo/" + std::to_string(m_fd));
    std::string key;
    long long position = -1;
    while (info >> key) {
        if (key == "pos:") {
            info >> position;
            break;
        }
    }
    return position;
}

void ProgressMeter::MaybeDraw()
{
    const auto now = std::chrono::steady_clock::now();
    if (now - m_lastDraw < std::chrono::milliseconds(250)) {
        return;
    }
    m_lastDraw = now;
    const double seconds = std::chrono::duration<double>(now - m_start).count();
    const long long rate = seconds > 0 ? static_cast<long long>(m_instances / seconds) : 0;
    const long long read = BytesRead();
    if (read >= 0) {
        std::fprintf(stderr, "\r\033[K  %.1f MB of %.1f MB (%lld%%)  %s instances  %s/s", read / 1e6, m_size / 1e6,
                     m_size > 0 ? read * 100 / m_size : 0, Grouped(m_instances).c_str(), Grouped(rate).c_str());
    } else {
        std::fprintf(stderr, "\r\033[K  %s instances  %s/s", Grouped(m_instances).c_str(), Grouped(rate).c_str());
    }
    std::fflush(stderr);
}

} // namespace zvcli
