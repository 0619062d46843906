// zvxml instances: stream an instance document.
#ifndef ZVCLI_INSTANCES_COMMAND_H
#define ZVCLI_INSTANCES_COMMAND_H

#include <string>
#include <vector>

namespace zvcli {

struct InstancesOptions {
    std::string document; // "-": standard input
    std::string schema;
    std::vector<std::string> folders;
    std::string format = "xml"; // xml, json or count
    std::vector<std::string> classes; // only these; all when empty
    long long limit = -1; // at most this many instances; -1: no limit
    bool skipUnknownClasses = false;
    bool skipUnknownProperties = false;
    bool progress = true;
};

int StreamInstances(const InstancesOptions& options);

} // namespace zvcli

#endif
