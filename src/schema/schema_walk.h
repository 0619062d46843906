// Depth first over a schema and its loaded references, each schema once.
//
// The order is that of the plain recursive search (a schema, then each of
// its references in list order, each searched the same way), so the first
// match is the first match of that search; a graph that leads back to a
// schema already seen (built by hand) cannot make it run forever, and a
// schema reached twice is searched once. The walk keeps its own stack, so a
// long chain of references cannot overflow the thread's, and tells seen
// schemas apart in constant time. Lookups walk for every element an
// instance parser reads and trees of schemas are small: a walk of a few
// schemas needs no heap.
#ifndef ZVXML_SCHEMA_SCHEMA_WALK_H
#define ZVXML_SCHEMA_SCHEMA_WALK_H

#include <zvxml/schema.h>

#include <cstddef>
#include <unordered_set>
#include <vector>

namespace ZVXML {
namespace detail {

class SchemaWalk {
public:
    // Calls `visit(schema)` for `root` and, when `includeReferences`, for
    // every schema it reaches, until one returns non-NULL; returns that.
    template <class Visit>
    void* Run(CZVSchema* root, Visit& visit, bool includeReferences)
    {
        Remember(root);
        if (void* found = visit(root)) {
            return found;
        }
        if (!includeReferences) {
            return nullptr;
        }
        Push(Frame{root, 0});
        while (m_depth != 0) {
            Frame& top = Top();
            if (top.next >= top.schema->GetReferenceCount()) {
                Pop();
                continue;
            }
            CZVSchema* referenced = top.schema->GetReferencedSchema(top.next++);
            if (referenced == nullptr || Seen(referenced)) {
                continue;
            }
            Remember(referenced);
            if (void* found = visit(referenced)) {
                return found;
            }
            Push(Frame{referenced, 0});
        }
        return nullptr;
    }

private:
    struct Frame {
        CZVSchema* schema;
        unsigned long next; // the reference to follow next
    };
    static constexpr std::size_t kInline = 8;

    Frame& Top() { return m_depth <= kInline ? m_frames[m_depth - 1] : m_moreFrames.back(); }
    void Push(const Frame& frame)
    {
        if (m_depth < kInline) {
            m_frames[m_depth] = frame;
        } else {
            m_moreFrames.push_back(frame);
        }
        ++m_depth;
    }
    void Pop()
    {
        if (m_depth > kInline) {
            m_moreFrames.pop_back();
        }
        --m_depth;
    }

    bool Seen(const CZVSchema* schema) const
    {
        if (!m_manySeen.empty()) {
            return m_manySeen.count(schema) != 0;
        }
        for (std::size_t i = 0; i < m_seenCount; ++i) {
            if (m_seen[i] == schema) {
                return true;
            }
        }
        return false;
    }
    void Remember(const CZVSchema* schema)
    {
        if (m_seenCount < kInline) {
            m_seen[m_seenCount++] = schema;
            return;
        }
        if (m_manySeen.empty()) {
            m_manySeen.insert(m_seen, m_seen + kInline);
        }
        m_manySeen.insert(schema);
    }

    Frame m_frames[kInline] = {};
    std::vector<Frame> m_moreFrames;
    std::size_t m_depth = 0;
    const CZVSchema* m_seen[kInline] = {};
    std::size_t m_seenCount = 0;
    std::unordered_set<const CZVSchema*> m_manySeen;
};

// SchemaWalk().Run(root, visit, true), without setting up a walk for a
// schema that references no other (most do not; lookups run per element).
template <class Visit>
void* WalkSchemaTree(CZVSchema* root, Visit& visit)
{
    if (root->GetReferenceCount() == 0) {
        return visit(root);
    }
    return SchemaWalk().Run(root, visit, true);
}

} // namespace detail
} // namespace ZVXML

#endif
