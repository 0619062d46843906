#include "foundation/read_position.h"

namespace ZVXML {
namespace {

thread_local const ReadPositionScope* t_innermost = nullptr;

} // namespace

ReadPositionScope::ReadPositionScope(const ReadPositionSource& source) : m_source(source), m_outer(t_innermost)
{
    t_innermost = this;
}

ReadPositionScope::~ReadPositionScope() { t_innermost = m_outer; }

ReadPosition GetReadPosition() { return t_innermost != nullptr ? t_innermost->m_source.Where() : ReadPosition(); }

void GetReadLineAndColumn(long& line, long& column)
{
    line = 0;
    column = 0;
    if (t_innermost != nullptr) {
        t_innermost->m_source.LineAndColumn(line, column);
    }
}

} // namespace ZVXML
