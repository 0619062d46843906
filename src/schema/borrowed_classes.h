// Classes held by one schema while naming another as theirs.
//
// AddZVRelationshipClass keeps the schema a relationship class was made
// with, so a class may be held by one schema's list and name a second
// schema that does not hold it (made with it, or copied from one of its
// classes). When that second schema is destroyed first, such a class passes
// to a schema still holding it, as it does when its own schema lets it go.
#ifndef ZVXML_SCHEMA_BORROWED_CLASSES_H
#define ZVXML_SCHEMA_BORROWED_CLASSES_H

namespace ZVXML {

class CZVClass;
class CZVSchema;

namespace detail {

// Called before `holder` takes `zvClass` into a list: remembers the class
// when it names a schema other than `holder` that does not hold it. May
// throw std::bad_alloc, before anything changed.
void NoteBorrowed(CZVClass& zvClass, const CZVSchema& holder);

// A class being destroyed is forgotten.
void ForgetBorrowed(const CZVClass& zvClass) noexcept;

// A schema being destroyed: each remembered class still naming it passes
// to a schema holding it, or names none.
void ReleaseBorrowed(const CZVSchema& dying) noexcept;

} // namespace detail
} // namespace ZVXML

#endif
