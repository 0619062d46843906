# ZVXML_SANITIZE is a list such as "address;undefined" or "thread".
# It applies to every target of the build, so the library, the tests and the
# tools are instrumented alike.
if(ZVXML_SANITIZE)
  string(REPLACE ";" "," _zvxml_sanitizers "${ZVXML_SANITIZE}")
  add_compile_options(-fsanitize=${_zvxml_sanitizers} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${_zvxml_sanitizers})
endif()
