// Converting a legacy constraint pair into the ends of a relationship class,
// for a reader that converts many pairs of one element in a row.
#ifndef ZVXML_SCHEMAXML_LEGACY_UPGRADE_H
#define ZVXML_SCHEMAXML_LEGACY_UPGRADE_H

#include <zvxml/schema.h>

#include "schemaxml/common_class_search.h"

#include <string>
#include <unordered_set>

namespace ZVXML {

// What a run of pairs keeps from one pair to the next, so that a run of n
// pairs does not take time proportional to n times the target end's length
// or the depth of the source classes: the class names of the target end,
// and the search that generalises the source end's class. Valid only while
// nothing but the upgrade changes the target end or any class between pairs.
struct LegacyPairRun {
    std::unordered_set<std::wstring> listedTargets; // starts with the end's names
    CommonClassSearch commonClass;
};

// What UpgradeLegacyZVRelationshipConstraint does; with `run` (not NULL) as
// part of that run.
void UpgradeLegacyPair(CZVRelationshipClass& relationshipClass, CZVSchema* schema,
                       CZVRelationshipConstraint* constraint, LegacyPairRun* run);

} // namespace ZVXML

#endif
