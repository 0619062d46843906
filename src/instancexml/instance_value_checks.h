// The checks of one instance's values against its class.
#ifndef ZVXML_INSTANCEXML_INSTANCE_VALUE_CHECKS_H
#define ZVXML_INSTANCEXML_INSTANCE_VALUE_CHECKS_H

#include "instancexml/validation_reporter.h"

#include <zvxml/instance.h>

namespace ZVXML {

// Reports each value of `instance` (structs and arrays of structs to any
// depth) that does not agree with its property; see instancevalidation.h.
void CheckInstanceValues(CZVInstance& instance, const FindingSubject& subject, ValidationReporter& reporter);

} // namespace ZVXML

#endif
