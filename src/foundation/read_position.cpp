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

} // namespace ZVXML
