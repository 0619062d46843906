// The handlers' side of a parse read on another thread: takes the recorded
// events from the queue in order and calls the content and error handlers as
// the parser calls them when it reads on the handlers' own thread (names,
// attributes and text converted the same way, CDATA line ends read the
// same way, Position answering the same places).
#ifndef ZVXML_PLATFORM_SAX_SAX_EVENT_REPLAY_H
#define ZVXML_PLATFORM_SAX_SAX_EVENT_REPLAY_H

#include "platform/sax/sax_event_queue.h"
#include "platform/sax/sax_reader.h"

#include <exception>
#include <vector>

namespace ZVXML {
namespace platform {

class SaxNameCache;
class SaxTextBuffer;

class SaxEventReplay {
public:
    SaxEventReplay(SaxContentHandler* content, SaxErrorHandler* errors, SaxNameCache& names, SaxTextBuffer& text);
    SaxEventReplay(const SaxEventReplay&) = delete;
    SaxEventReplay& operator=(const SaxEventReplay&) = delete;

    // Delivers the queue's events until the producer closes it. The first
    // exception a handler throws stops the queue and is kept.
    void Run(SaxEventQueue& queue) noexcept;

    // The place of the event being delivered (of the last one, after it).
    SaxLocator Position() const { return m_at; }
    const std::exception_ptr& Exception() const { return m_exception; }

private:
    void Deliver(SaxEventQueue& queue, const SaxEventBlock& block, const SaxEvent& event);
    void DeliverStart(const SaxEventBlock& block, const SaxEvent& event);
    void DeliverText(const SaxEventBlock& block, const SaxEvent& event);

    SaxContentHandler* m_content;
    SaxErrorHandler* m_errors;
    SaxNameCache& m_names;
    SaxTextBuffer& m_text;
    SaxLocator m_at{0, 0};
    bool m_afterCdataCr = false; // the last piece of CDATA ended with a CR
    std::vector<const xmlChar*> m_attributes; // five pointers each, as the parser gives them
    std::exception_ptr m_exception;
};

} // namespace platform
} // namespace ZVXML

#endif
