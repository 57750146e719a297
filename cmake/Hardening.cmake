# Debian's hardening flags, as dpkg-buildflags gives them with every hardening
# feature on (fortified functions, stack protector, read-only relocations bound
# at load time), for the program's own targets: the package is built the way
# Debian builds its packages. Left out of sanitizer and fuzzer builds, whose
# instrumentation does the checking there.
option(TAVELOR_HARDENING "Build the program with dpkg-buildflags' hardening flags" ON)

set(TAVELOR_HARDENING_COMPILE_FLAGS "")
set(TAVELOR_HARDENING_LINK_FLAGS "")
find_program(DPKG_BUILDFLAGS_EXE dpkg-buildflags)
if(TAVELOR_HARDENING AND DPKG_BUILDFLAGS_EXE AND NOT TAVELOR_SANITIZERS
        AND NOT TAVELOR_BUILD_FUZZERS)
    foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
        execute_process(
            COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                ${DPKG_BUILDFLAGS_EXE} --get ${kind}
            WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
            OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE)
        separate_arguments(flags UNIX_COMMAND "${flags}")
        if(kind STREQUAL "LDFLAGS")
            list(APPEND TAVELOR_HARDENING_LINK_FLAGS ${flags})
        else()
            list(APPEND TAVELOR_HARDENING_COMPILE_FLAGS ${flags})
        endif()
    endforeach()
endif()

function(tavelor_harden target)
    target_compile_options(${target} PRIVATE ${TAVELOR_HARDENING_COMPILE_FLAGS})
    target_link_options(${target} PRIVATE ${TAVELOR_HARDENING_LINK_FLAGS})
endfunction()
