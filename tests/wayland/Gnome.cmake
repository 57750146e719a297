# GNOME Shell on Wayland, headless, with Tavelor's extension: each run in a shell
# of its own (gnome-session, which finds the built extension by TAVELOR_BUILD_DIR).
set(gnome_session ${CMAKE_CURRENT_SOURCE_DIR}/gnome-session)
set(gnome_env "TAVELOR_BUILD_DIR=${PROJECT_BINARY_DIR};TAVELOR_EXE=$<TARGET_FILE:tavelor>"
    "TAVELOR_QT_WINDOW=$<TARGET_FILE:gnome_shell_tests>")

tavelor_add_test_suite(gnome_shell_tests LABEL unit SOURCES GnomeShellBackendTest.cpp
    LIBRARIES tavelor_platform_gnome_shell Qt6::Widgets)
add_dependencies(gnome_shell_tests gnome_shell_extension)

set(test_py /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/gnome_shell_test.py)
add_test(NAME gnome_shell_shortcuts COMMAND ${gnome_session} -- $<TARGET_FILE:gnome_shell_tests>)
add_test(NAME gnome_shell_extension_interface COMMAND ${gnome_session} -- ${test_py} ExtensionInterfaceTest)
add_test(NAME gnome_shell_top_bar_menu COMMAND ${gnome_session} --eval -- ${test_py} TopBarMenuTest)
add_test(NAME gnome_shell_appindicator_tray
    COMMAND ${gnome_session} --eval --appindicator -- ${test_py} WithAppIndicatorTest)
add_test(NAME gnome_shell_extension_disabled
    COMMAND ${gnome_session} --eval --no-extension --appindicator -- ${test_py} ExtensionDisabledTest)
set(gnome_tests gnome_shell_shortcuts gnome_shell_extension_interface gnome_shell_top_bar_menu
    gnome_shell_appindicator_tray gnome_shell_extension_disabled)

# The extension against GNOME 48 in the Debian 13 root (Tavelor is built for the host's libraries).
if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/debian13-root)
    add_test(NAME gnome48_extension_interface
        COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/debian13-root run ${gnome_session} -- ${test_py}
            ExtensionInterfaceTest)
    list(APPEND gnome_env "RUN_BINDS=${PROJECT_SOURCE_DIR} ${PROJECT_BINARY_DIR}" TAVELOR_GNOME_UID=1001)
    list(APPEND gnome_tests gnome48_extension_interface)
endif()
set_tests_properties(${gnome_tests} PROPERTIES LABELS gnome TIMEOUT 300 ENVIRONMENT "${gnome_env}")
