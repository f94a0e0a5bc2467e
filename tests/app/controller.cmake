# The controller, its message box and the program as a process (included from CMakeLists.txt
# when tellwise_app exists).
tellwise_add_test(NAME tst_messagedialog SOURCES tst_messagedialog.cpp LIBS tellwise_app)
tellwise_add_test(NAME tst_controller SOURCES tst_controller.cpp LIBS tellwise_app tellwise_testsim TIMEOUT 120
                  ENV TELLWISE_SOUND_SINK=none)
add_dependencies(tst_controller tellwise-modem-sim)
# tellwise-cli devices asks the real libcapi20, whose application table every process shares.
tellwise_add_test(NAME tst_monitor_process SOURCES tst_monitor_process.cpp LIBS tellwise_store tellwise_testsim
                  TIMEOUT 120 ENV TELLWISE_SOUND_SINK=none)
add_dependencies(tst_monitor_process tellwise-monitor tellwise-modem-sim tellwise-isdn-sim tellwise-cli)
set_tests_properties(tst_monitor_process PROPERTIES RESOURCE_LOCK libcapi20)
# The running monitor (in this process) and the real tellwise-cli on one data folder.
tellwise_add_test(NAME tst_sharedfolder SOURCES tst_sharedfolder.cpp LIBS tellwise_app TIMEOUT 60
                  ENV TELLWISE_SOUND_SINK=none)
add_dependencies(tst_sharedfolder tellwise-cli)
