# Run as a script: cmake -DBUILD_DIR=... -DHOST_DIR=... -DWORK_DIR=... -DCXX=... -DLIBDIR=... -P this
# LIBDIR is the library folder below the prefix (lib, lib64, lib/<triplet>).
file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "failed (${result}): ${ARGN}\n${out}\n${err}")
  endif()
  set(last_output "${out}" PARENT_SCOPE)
endfunction()

run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})

# 1. CMake package.
run(${CMAKE_COMMAND} -S ${HOST_DIR} -B ${WORK_DIR}/cmake-host
    -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_CXX_COMPILER=${CXX})
run(${CMAKE_COMMAND} --build ${WORK_DIR}/cmake-host)
run(${WORK_DIR}/cmake-host/host)
if(NOT last_output MATCHES "host ok")
  message(FATAL_ERROR "CMake-built host printed: ${last_output}")
endif()

# 2. pkg-config.
find_program(PKG_CONFIG pkg-config REQUIRED)
set(ENV{PKG_CONFIG_PATH} ${prefix}/${LIBDIR}/pkgconfig)
run(${PKG_CONFIG} --cflags --libs zvxml)
string(STRIP "${last_output}" flags)
separate_arguments(flags UNIX_COMMAND "${flags}")
# With an rpath, as the README shows, the host runs as it is.
run(${CXX} -std=c++17 ${HOST_DIR}/host.cpp ${flags} -Wl,-rpath,${prefix}/${LIBDIR} -o ${WORK_DIR}/pkg-host-rpath)
run(${WORK_DIR}/pkg-host-rpath)
if(NOT last_output MATCHES "host ok")
  message(FATAL_ERROR "pkg-config-built host with an rpath printed: ${last_output}")
endif()
# Without one, it needs LD_LIBRARY_PATH.
run(${CXX} -std=c++17 ${HOST_DIR}/host.cpp ${flags} -o ${WORK_DIR}/pkg-host)
set(ENV{LD_LIBRARY_PATH} ${prefix}/${LIBDIR})
run(${WORK_DIR}/pkg-host)
if(NOT last_output MATCHES "host ok")
  message(FATAL_ERROR "pkg-config-built host printed: ${last_output}")
endif()
