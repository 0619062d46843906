// Where the readers running on this thread have got to.
//
// A reader installs a ReadPositionScope for as long as it reads; the scope
// asks its source lazily, only when someone wants to know (an exception being
// built, a log callback calling GetReadPosition). Scopes nest: a reader that
// starts inside another (a referenced schema file, a document parsed from a
// callback) answers until it ends, then the outer one answers again.
#ifndef ZVXML_FOUNDATION_READ_POSITION_H
#define ZVXML_FOUNDATION_READ_POSITION_H

#include <zvxml/errors.h>

#include <string>
#include <utility>

namespace ZVXML {

class ReadPositionSource {
public:
    // Called on the scope's thread while the scope lives; may throw
    // std::bad_alloc only.
    virtual ReadPosition Where() const = 0;
    // Where() without the file name, for callers that ask at every element
    // of a document and would otherwise copy the same name each time.
    virtual void LineAndColumn(long& line, long& column) const
    {
        const ReadPosition position = Where();
        line = position.line;
        column = position.column;
    }

protected:
    ReadPositionSource() = default;
    ReadPositionSource(const ReadPositionSource&) = default;
    ReadPositionSource& operator=(const ReadPositionSource&) = default;
    ~ReadPositionSource() = default;
};

// Makes `source` the innermost answer of this thread while it lives. Create
// and destroy it on one thread, in nested order (as a local variable).
class ReadPositionScope {
public:
    explicit ReadPositionScope(const ReadPositionSource& source);
    ~ReadPositionScope();
    ReadPositionScope(const ReadPositionScope&) = delete;
    ReadPositionScope& operator=(const ReadPositionScope&) = delete;

private:
    friend ReadPosition GetReadPosition();
    friend void GetReadLineAndColumn(long& line, long& column);
    const ReadPositionSource& m_source;
    const ReadPositionScope* m_outer;
};

// GetReadPosition()'s line and column; 0 and 0 when no reader runs.
void GetReadLineAndColumn(long& line, long& column);

// A position known in advance: a failure found after the reader stopped.
class FixedReadPosition final : public ReadPositionSource {
public:
    FixedReadPosition(std::wstring file, long line, long column) : m_position{std::move(file), line, column} {}
    ReadPosition Where() const override { return m_position; }

private:
    ReadPosition m_position;
};

} // namespace ZVXML

#endif
