# Layers that point one way, enforced by include roots.
#
# tavelor_layers(<target> <layer>...) gives <target> an include root of its own
# (build/src/layers/<target>/) holding symbolic links to only the layers it may
# use, so that "#include" of any other layer fails to compile. A layer is a
# folder or file under src/ ("Models", "Platform/X11", "Platform/BackendFactory.hpp"),
# or "Platform": the capability interfaces directly in src/Platform/, without
# the backend folders.
set(TAVELOR_PLATFORM_INTERFACES
    Backend.hpp
    BackendParts.hpp
    Displays.hpp
    GlobalShortcuts.hpp
    KeyEventTranslator.hpp
    KeyboardGrab.hpp
    KeyboardLayout.hpp
    LoginItems.hpp
    WindowAccess.hpp
    WindowSource.hpp)

function(tavelor_layers target)
    set(source ${PROJECT_SOURCE_DIR}/src)
    set(root ${PROJECT_BINARY_DIR}/src/layers/${target})
    file(REMOVE_RECURSE ${root})
    file(MAKE_DIRECTORY ${root})
    foreach(layer IN LISTS ARGN)
        if(layer STREQUAL "Platform")
            file(MAKE_DIRECTORY ${root}/Platform)
            foreach(header IN LISTS TAVELOR_PLATFORM_INTERFACES)
                file(CREATE_LINK ${source}/Platform/${header} ${root}/Platform/${header} SYMBOLIC)
            endforeach()
        else()
            if(NOT EXISTS ${source}/${layer})
                message(FATAL_ERROR "tavelor_layers: no src/${layer}")
            endif()
            get_filename_component(parent ${root}/${layer} DIRECTORY)
            file(MAKE_DIRECTORY ${parent})
            file(CREATE_LINK ${source}/${layer} ${root}/${layer} SYMBOLIC)
        endif()
    endforeach()
    target_include_directories(${target} PRIVATE ${root})
endfunction()
