# Warnings for every target of the project: call tavelor_set_warnings(target).
function(tavelor_set_warnings target)
    set(common
        -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Wcast-align
        -Woverloaded-virtual -Wconversion -Wsign-conversion -Wnull-dereference
        -Wdouble-promotion -Wformat=2 -Wimplicit-fallthrough)
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
        list(APPEND common -Wmisleading-indentation -Wduplicated-cond -Wlogical-op)
    endif()
    if(TAVELOR_WARNINGS_AS_ERRORS)
        list(APPEND common -Werror)
    endif()
    target_compile_options(${target} PRIVATE ${common})
endfunction()
