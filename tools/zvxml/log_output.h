// The library's log lines on standard error, each with the place it is
// about: "Plant.01.02.zvschema.xml:12: warning: Unrecognized xml attribute:
// units with value='m3'.".
#ifndef ZVCLI_LOG_OUTPUT_H
#define ZVCLI_LOG_OUTPUT_H

#include <zvxml/errors.h>

#include <string>

namespace zvcli {

// The names --log-level takes, most severe first, and their severities.
extern const char* const kLogLevelNames[4];
ZVXML::LOG_SEV LogLevelNamed(const std::string& name);

// Installs the program's logging callback: the library's own lines (not the
// lines of exceptions, which are reported when they reach the program) at
// `threshold` or more severe go to standard error.
void StartLogging(ZVXML::LOG_SEV threshold);
void StopLogging();

} // namespace zvcli

#endif
