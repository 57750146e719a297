# Writes one flavour of the extension from its single source:
#   cmake -DSOURCE_DIR=... -DOUTPUT_DIR=... -DFLAVOUR=legacy|module -P flavour.cmake
# Lines marked "//<FLAVOUR>:" lose the mark, lines marked for the other flavour
# go, everything else is copied as it is.
if(FLAVOUR STREQUAL "legacy")
    set(other "module")
    set(SHELL_VERSIONS "\"43\", \"44\"")
elseif(FLAVOUR STREQUAL "module")
    set(other "legacy")
    set(SHELL_VERSIONS "\"45\", \"46\", \"47\", \"48\", \"49\", \"50\"")
else()
    message(FATAL_ERROR "FLAVOUR must be legacy or module")
endif()

file(READ "${SOURCE_DIR}/extension.js" source)
# Keep empty lines: a list of lines without semicolons in them
string(REPLACE ";" "\\;" source "${source}")
string(REPLACE "\n" ";" lines "${source}")
set(result "")
foreach(line IN LISTS lines)
    if(line MATCHES "^//${other}: ")
        continue()
    endif()
    string(REGEX REPLACE "^//${FLAVOUR}: " "" line "${line}")
    string(APPEND result "${line}\n")
endforeach()
string(REGEX REPLACE "\n$" "" result "${result}")
file(MAKE_DIRECTORY "${OUTPUT_DIR}")
file(WRITE "${OUTPUT_DIR}/extension.js.tmp" "${result}")
file(COPY_FILE "${OUTPUT_DIR}/extension.js.tmp" "${OUTPUT_DIR}/extension.js" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT_DIR}/extension.js.tmp")
configure_file("${SOURCE_DIR}/metadata.json.in" "${OUTPUT_DIR}/metadata.json" @ONLY)
