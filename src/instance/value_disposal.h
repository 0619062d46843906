// What happens to a value when its last owner lets go of it.
#ifndef ZVXML_INSTANCE_VALUE_DISPOSAL_H
#define ZVXML_INSTANCE_VALUE_DISPOSAL_H

namespace ZVXML {

class ZVValueBase;

// An instance gives up its claim on `value`: when that was the last claim, a
// plain primitive value goes back to the pool and any other value is
// destroyed.
void ReleaseInstanceValue(ZVValueBase* value);

// Disposes of a value nobody owns (one made and then not needed).
void DisposeUnownedValue(ZVValueBase* value);

} // namespace ZVXML

#endif
