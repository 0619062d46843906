// The hand-over between a thread that parses a document and the thread that
// runs its handlers.
//
// The parsing thread (the producer) records each event libxml2 delivers into
// its current block and hands the block over when it is full; the handlers'
// thread (the consumer) takes the blocks in order, replays their events and
// gives each block back for reuse. Memory stays bounded whatever the
// document's size: kBlocks blocks of about kBlockEvents events and
// kBlockBytes copied bytes each, plus what one event holds (the attributes of
// one start tag, one piece of text; a block grown far past its usual size by
// one such event gives the memory back when it is next reused).
//
// Names are not copied: libxml2 interns them in its dictionary, which lives
// as long as the parser context, and the context outlives the replay.
// Attribute values and text are copied: they point into the input buffer,
// which the parser reuses.
//
// An error goes over and back: the producer waits for the consumer's answer
// (the error handler's), as the parser did when it called the handler itself.
#ifndef ZVXML_PLATFORM_SAX_SAX_EVENT_QUEUE_H
#define ZVXML_PLATFORM_SAX_SAX_EVENT_QUEUE_H

#include "platform/sax/sax_reader.h"

#include <libxml/xmlstring.h>

#include <array>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace ZVXML {
namespace platform {

enum class SaxEventKind : unsigned char { Start, End, Text, Break, Error };

struct SaxEvent {
    SaxEventKind kind;
    bool cdata; // Text: a piece of a CDATA section
    bool continuesCdata; // Text: starts where the last piece of CDATA ended
    const xmlChar* localName; // Start, End: interned by the parser
    const xmlChar* prefix;
    const xmlChar* uri;
    std::size_t first; // Start: the first of its attributes; Text: its first byte
    std::size_t count; // Start: attributes; Text: bytes
    SaxLocator at; // the place Position reports while the event is handled
};

// An attribute as the parser gave it, its value copied into the block.
struct SaxRecordedAttribute {
    const xmlChar* localName;
    const xmlChar* prefix;
    const xmlChar* uri;
    std::size_t valueBegin; // in the block's bytes
    std::size_t valueSize;
};

// Copied bytes: appended in small pieces at every event, so growth is
// checked once and the copy is a plain memcpy.
class SaxEventBytes {
public:
    // Where the copy starts. May throw std::bad_alloc.
    std::size_t Append(const xmlChar* bytes, std::size_t size)
    {
        const std::size_t at = m_size;
        if (size > m_capacity - m_size) {
            Grow(size);
        }
        if (size > 0) {
            std::memcpy(m_bytes.get() + at, bytes, size);
        }
        m_size += size;
        return at;
    }
    const xmlChar* At(std::size_t offset) const { return m_bytes.get() + offset; }
    std::size_t Size() const { return m_size; }
    // Empties the buffer; frees it when one event made it grow far past a
    // block's usual size, so that one huge start tag or text does not stay
    // resident for the rest of the parse.
    void Clear()
    {
        m_size = 0;
        if (m_capacity > kKeptCapacity) {
            m_bytes.reset();
            m_capacity = 0;
        }
    }
    static constexpr std::size_t kKeptCapacity = 1024 * 1024;

private:
    void Grow(std::size_t size);

    std::unique_ptr<xmlChar[]> m_bytes;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
};

struct SaxEventBlock {
    std::vector<SaxEvent> events;
    std::vector<SaxRecordedAttribute> attributes;
    SaxEventBytes bytes;
};

class SaxEventQueue {
public:
    // Blocks in flight: one being filled, the others replayed or waiting.
    static constexpr std::size_t kBlocks = 4;
    // A block is handed over once it holds this many events or bytes: large
    // enough that the threads rarely meet, small enough to stay in cache.
    static constexpr std::size_t kBlockEvents = 2048;
    static constexpr std::size_t kBlockBytes = 64 * 1024;

    SaxEventQueue();
    SaxEventQueue(const SaxEventQueue&) = delete;
    SaxEventQueue& operator=(const SaxEventQueue&) = delete;

    // Producer. Each Record returns false once the consumer has stopped:
    // the parse is to end. They may throw std::bad_alloc.
    bool RecordStart(const xmlChar* localName, const xmlChar* prefix, const xmlChar* uri, int attributeCount,
                     const xmlChar** attributes, SaxLocator at);
    bool RecordEnd(const xmlChar* localName, const xmlChar* prefix, const xmlChar* uri, SaxLocator at);
    bool RecordText(const xmlChar* text, std::size_t size, bool cdata, bool continuesCdata, SaxLocator at);
    bool RecordBreak(SaxLocator at);
    // Hands the error over with everything before it and returns the
    // consumer's answer; non-zero when the consumer stopped before it.
    long RecordError(const std::wstring& message, SaxLocator at);
    // No more events: hands over what is left. Never throws.
    void Close() noexcept;

    // Consumer. Take returns the next block, or null once the producer has
    // closed and every block was taken; Give returns it.
    SaxEventBlock* Take();
    void Give(SaxEventBlock* block);
    const std::wstring& ErrorMessage() const { return m_errorMessage; }
    void Answer(long answer);
    // The consumer takes nothing more: the producer's next hand-over fails.
    void Stop();

private:
    SaxEventBlock& Current() { return m_blocks[m_filled % kBlocks]; }
    bool Append(const SaxEvent& event);
    bool HandOver();

    std::array<SaxEventBlock, kBlocks> m_blocks;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    // Blocks counted since the parse began: handed over, and given back.
    std::size_t m_filled = 0;
    std::size_t m_returned = 0;
    std::size_t m_taken = 0; // the consumer's own
    bool m_closed = false;
    bool m_stopped = false;
    bool m_answered = false;
    long m_answer = 0;
    std::wstring m_errorMessage; // written before the error is handed over
};

} // namespace platform
} // namespace ZVXML

#endif
