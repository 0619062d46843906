#include "platform/sax/sax_event_replay.h"

#include "platform/sax/sax_attributes_view.h"
#include "platform/sax/sax_name_cache.h"
#include "platform/sax/sax_wide_text.h"

namespace ZVXML {
namespace platform {

SaxEventReplay::SaxEventReplay(SaxContentHandler* content, SaxErrorHandler* errors, SaxNameCache& names,
                               SaxTextBuffer& text)
    : m_content(content), m_errors(errors), m_names(names), m_text(text)
{
}

void SaxEventReplay::Run(SaxEventQueue& queue) noexcept
{
    try {
        while (SaxEventBlock* block = queue.Take()) {
            for (const SaxEvent& event : block->events) {
                Deliver(queue, *block, event);
            }
            queue.Give(block);
        }
    } catch (...) {
        m_exception = std::current_exception();
        queue.Stop();
    }
}

void SaxEventReplay::Deliver(SaxEventQueue& queue, const SaxEventBlock& block, const SaxEvent& event)
{
    m_at = event.at;
    switch (event.kind) {
    case SaxEventKind::Start:
        DeliverStart(block, event);
        break;
    case SaxEventKind::End: {
        const SaxElementName& name = m_names.Get(event.localName, event.prefix, event.uri);
        m_content->EndElement(name.namespaceURI, name.localName, name.QualifiedName());
        break;
    }
    case SaxEventKind::Text:
        DeliverText(block, event);
        break;
    case SaxEventKind::Break:
        m_content->TextBreak();
        break;
    case SaxEventKind::Error:
        // The producer waits for the answer; an exception from the handler
        // stops the queue, which answers it too.
        queue.Answer(m_errors->FatalError(m_at, queue.ErrorMessage()));
        break;
    }
}

void SaxEventReplay::DeliverStart(const SaxEventBlock& block, const SaxEvent& event)
{
    m_attributes.clear();
    for (std::size_t i = event.first; i < event.first + event.count; ++i) {
        const SaxRecordedAttribute& attribute = block.attributes[i];
        const xmlChar* value = block.bytes.At(attribute.valueBegin);
        m_attributes.insert(m_attributes.end(),
                            {attribute.localName, attribute.prefix, attribute.uri, value, value + attribute.valueSize});
    }
    const SaxElementName& name = m_names.Get(event.localName, event.prefix, event.uri);
    const SaxAttributesView view(m_attributes.data(), static_cast<int>(event.count));
    m_content->StartElement(name.namespaceURI, name.localName, name.QualifiedName(), view);
}

// As the parser delivers a piece of text on the handlers' own thread.
void SaxEventReplay::DeliverText(const SaxEventBlock& block, const SaxEvent& event)
{
    const bool afterCdataCr = m_afterCdataCr && event.continuesCdata;
    m_afterCdataCr = false;
    if (event.count == 0 || !m_content->WantsCharacters()) {
        return;
    }
    std::size_t length = 0;
    wchar_t* wide = m_text.Convert(block.bytes.At(event.first), event.count, length);
    if (event.cdata) {
        m_afterCdataCr = afterCdataCr;
        length = NormalizeLineEnds(wide, length, m_afterCdataCr);
    }
    if (length > 0) {
        m_content->Characters(wide, length);
    }
}

} // namespace platform
} // namespace ZVXML
