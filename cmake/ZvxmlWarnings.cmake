# Warnings for our own code; third-party headers come in as system headers.
add_library(zvxml_warnings INTERFACE)
target_compile_options(zvxml_warnings INTERFACE -Wall -Wextra -Werror)
