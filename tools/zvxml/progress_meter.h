// A progress line on standard error while a large document streams:
//   "  41.9 MB of 105.0 MB (39%)  152,310 instances  61,204/s"
// Shown only when standard error is a terminal and the document is larger
// than a few megabytes; cleared at the end.
#ifndef ZVCLI_PROGRESS_METER_H
#define ZVCLI_PROGRESS_METER_H

#include <chrono>
#include <string>

namespace zvcli {

class ProgressMeter {
public:
    // `path` is the document being read; nothing is shown for a small one,
    // nor when `wanted` is false.
    ProgressMeter(const std::string& path, bool wanted);
    ~ProgressMeter();
    ProgressMeter(const ProgressMeter&) = delete;
    ProgressMeter& operator=(const ProgressMeter&) = delete;

    // Called once per instance; redraws a few times a second.
    void Instance()
    {
        ++m_instances;
        if (m_enabled && (m_instances & 1023) == 0) {
            MaybeDraw();
        }
    }

private:
    void MaybeDraw();
    long long BytesRead();

    bool m_enabled = false;
    std::string m_path;
    long long m_size = 0;
    long long m_instances = 0;
    int m_fd = -2; // the reader's descriptor for the document; -2: not looked for
    std::chrono::steady_clock::time_point m_start;
    std::chrono::steady_clock::time_point m_lastDraw;
};

} // namespace zvcli

#endif
