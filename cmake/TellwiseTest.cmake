# tellwise_add_test(NAME name SOURCES file... [LIBS lib...] [TIMEOUT s] [ENV VAR=value...]
#                   [LAUNCHER command...])
# One Qt Test executable per behaviour group. Each test runs offscreen with its own HOME and
# XDG folders under the build tree, emptied before every run, so tests never touch the user's;
# the program never starts a Speech Dispatcher for them that would outlive the test, and looks
# for one on a socket where nothing listens, even when the user's SPEECHD_ADDRESS names theirs.
# A test that runs a daemon of its own points SPEECHD_ADDRESS at it. Likewise the session bus is
# one where nothing listens, so no test sends call notifications to the desktop it runs on; a
# test that needs a bus starts its own. LAUNCHER runs the test, e.g. under a display of its own.
function(tellwise_add_test)
    cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LIBS;ENV;LAUNCHER" ${ARGN})
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE Qt6::Test tellwise_testsupport ${T_LIBS})
    tellwise_compile_defaults(${T_NAME})
    set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
    set(_home ${CMAKE_BINARY_DIR}/testhome/${T_NAME})
    add_test(NAME ${T_NAME}
             COMMAND ${T_LAUNCHER} ${PROJECT_SOURCE_DIR}/cmake/run-test.sh ${_home} $<TARGET_FILE:${T_NAME}>)
    set_tests_properties(${T_NAME} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LANG=C.UTF-8;LC_ALL=C.UTF-8;HOME=${_home};XDG_CONFIG_HOME=${_home}/.config;XDG_DATA_HOME=${_home}/.local/share;XDG_CACHE_HOME=${_home}/.cache;XDG_RUNTIME_DIR=${_home}/run;TELLWISE_DATA_DIR=${_home}/data;TELLWISE_SPEECHD_AUTOSPAWN=0;SPEECHD_ADDRESS=unix_socket:${_home}/run/no-speechd.sock;DBUS_SESSION_BUS_ADDRESS=unix:path=${_home}/run/no-session-bus;${T_ENV}")
    if(T_TIMEOUT)
        set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT})
    endif()
endfunction()
