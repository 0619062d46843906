// Emptied instances and values of the library's own kinds, kept per thread
// for the next ones made.
//
// Reading a document makes and destroys a dozen such objects per instance:
// each struct value with its embedded instance, each array with its list and
// members, each with a name. Made again from spares they keep the memory of
// their names, texts and lists, and the heap is not asked at all.
//
// A spare is an ordinary heap object, so whoever ends up owning an object
// made here may delete it as usual. Only objects of exactly the library's
// types are kept (a host's subclass is always deleted), a bounded number per
// kind and thread, with their memory bounded too; a thread's spares are
// freed when the thread ends. Primitive values of instances are not kept
// here: they go to the value pool as documented.
#ifndef ZVXML_INSTANCE_SPARE_OBJECTS_H
#define ZVXML_INSTANCE_SPARE_OBJECTS_H

#include <zvxml/instance.h>

namespace ZVXML {

// Each makes what the constructor named would make, with its checks and
// exceptions; the caller owns the result.
// `new CZVInstance(zvClass)`
CZVInstance* MakeInstance(CZVClass* zvClass);
// `new ZVRelationshipInstance(relationshipClass)`
ZVRelationshipInstance* MakeRelationshipInstance(CZVRelationshipClass* relationshipClass);
// `new ZVStructValue(property)`
ZVStructValue* MakeStructValue(CZVProperty* property);
// `new ZVArrayValue(property)`
ZVArrayValue* MakeArrayValue(CZVProperty* property);
// `new CZVValue(property, nullptr)`, for array members (never pooled).
CZVValue* MakeArrayMember(CZVProperty* property);

// `delete instance`, for an instance nobody owns any more; NULL is ignored.
void DestroyInstance(CZVInstance* instance) noexcept;
// `delete value`, for a value nobody owns any more that does not go to the
// value pool; NULL is ignored.
void DestroyValue(ZVValueBase* value) noexcept;

} // namespace ZVXML

#endif
