// A place in a document (file, line, column) as exceptions and the read
// position report it, comparable and printable in test expectations.
#ifndef ZVXML_TESTS_WHERE_H
#define ZVXML_TESTS_WHERE_H

#include <zvxml/zvxml.h>

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace zvtest {

struct Where {
    std::wstring file;
    long line;
    long column;
    bool operator==(const Where& other) const
    {
        return file == other.file && line == other.line && column == other.column;
    }
};

inline std::ostream& operator<<(std::ostream& out, const Where& where)
{
    return out << testing::PrintToString(where.file) << ":" << where.line << ":" << where.column;
}

inline Where PositionOf(const ZVXML::ZVXMLException& error)
{
    return Where{error.File(), error.Line(), error.Column()};
}

// Where the reader running on this thread is now.
inline Where ReadPositionNow()
{
    const ZVXML::ReadPosition position = ZVXML::GetReadPosition();
    return Where{position.file, position.line, position.column};
}

} // namespace zvtest

#endif
