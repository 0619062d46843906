#include "platform/sax/sax_event_queue.h"

#include <algorithm>

namespace ZVXML {
namespace platform {

void SaxEventBytes::Grow(std::size_t size)
{
    const std::size_t capacity = std::max({2 * m_capacity, m_size + size, std::size_t(4096)});
    std::unique_ptr<xmlChar[]> bytes(new xmlChar[capacity]);
    if (m_size > 0) {
        std::memcpy(bytes.get(), m_bytes.get(), m_size);
    }
    m_bytes = std::move(bytes);
    m_capacity = capacity;
}

SaxEventQueue::SaxEventQueue()
{
    for (SaxEventBlock& block : m_blocks) {
        block.events.reserve(kBlockEvents);
    }
}

bool SaxEventQueue::RecordStart(const xmlChar* localName, const xmlChar* prefix, const xmlChar* uri, int attributeCount,
                                const xmlChar** attributes, SaxLocator at)
{
    SaxEventBlock& block = Current();
    const std::size_t first = block.attributes.size();
    for (int i = 0; i < attributeCount; ++i) {
        const xmlChar* const* attribute = attributes + 5 * i; // local name, prefix, URI, value, end of value
        const auto valueSize = static_cast<std::size_t>(attribute[4] - attribute[3]);
        const std::size_t valueBegin = block.bytes.Append(attribute[3], valueSize);
        block.attributes.push_back(
            SaxRecordedAttribute{attribute[0], attribute[1], attribute[2], valueBegin, valueSize});
    }
    return Append(SaxEvent{SaxEventKind::Start, false, false, localName, prefix, uri, first,
                           static_cast<std::size_t>(attributeCount), at});
}

bool SaxEventQueue::RecordEnd(const xmlChar* localName, const xmlChar* prefix, const xmlChar* uri, SaxLocator at)
{
    return Append(SaxEvent{SaxEventKind::End, false, false, localName, prefix, uri, 0, 0, at});
}

bool SaxEventQueue::RecordText(const xmlChar* text, std::size_t size, bool cdata, bool continuesCdata, SaxLocator at)
{
    SaxEventBlock& block = Current();
    const std::size_t first = block.bytes.Append(text, size);
    return Append(SaxEvent{SaxEventKind::Text, cdata, continuesCdata, nullptr, nullptr, nullptr, first, size, at});
}

bool SaxEventQueue::RecordBreak(SaxLocator at)
{
    return Append(SaxEvent{SaxEventKind::Break, false, false, nullptr, nullptr, nullptr, 0, 0, at});
}

long SaxEventQueue::RecordError(const std::wstring& message, SaxLocator at)
{
    m_errorMessage = message;
    Current().events.push_back(SaxEvent{SaxEventKind::Error, false, false, nullptr, nullptr, nullptr, 0, 0, at});
    if (!HandOver()) {
        return 1;
    }
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return m_answered || m_stopped; });
    return m_answered ? m_answer : 1;
}

void SaxEventQueue::Close() noexcept
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    // The block being filled is the producer's until it is handed over.
    if (!m_stopped && !Current().events.empty()) {
        ++m_filled;
    }
    m_closed = true;
    m_changed.notify_all();
}

bool SaxEventQueue::Append(const SaxEvent& event)
{
    SaxEventBlock& block = Current();
    block.events.push_back(event);
    if (block.events.size() < kBlockEvents && block.bytes.Size() < kBlockBytes) {
        return true;
    }
    return HandOver();
}

// Hands the current block over and waits for a free one to fill next.
bool SaxEventQueue::HandOver()
{
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        ++m_filled;
        m_changed.notify_all();
        m_changed.wait(lock, [this] { return m_filled - m_returned < kBlocks || m_stopped; });
        if (m_stopped) {
            return false;
        }
    }
    SaxEventBlock& next = Current();
    next.events.clear();
    next.attributes.clear();
    if (next.attributes.capacity() > kBlockEvents) {
        std::vector<SaxRecordedAttribute>().swap(next.attributes); // after a tag with thousands of attributes
    }
    next.bytes.Clear();
    return true;
}

SaxEventBlock* SaxEventQueue::Take()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return m_taken < m_filled || m_closed || m_stopped; });
    if (m_stopped || m_taken == m_filled) {
        return nullptr;
    }
    return &m_blocks[m_taken++ % kBlocks];
}

void SaxEventQueue::Give(SaxEventBlock*)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    ++m_returned;
    m_changed.notify_all();
}

void SaxEventQueue::Answer(long answer)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_answer = answer;
    m_answered = true;
    m_changed.notify_all();
}

void SaxEventQueue::Stop()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_stopped = true;
    m_changed.notify_all();
}

} // namespace platform
} // namespace ZVXML
