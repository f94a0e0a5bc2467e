# The line parsers are built straight into their targets: the rest of the telephony layer (serial
# ports, sockets, the line service) is nothing these targets reach.
set(_tel ${PROJECT_SOURCE_DIR}/src/telephony)
tellwise_add_fuzzer(NAME fuzz_modem_parser SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_modem_parser.cpp
    ${_tel}/ModemLineParser.cpp LIBS tellwise_store)
tellwise_add_fuzzer(NAME fuzz_network_lines SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_network_lines.cpp
    ${_tel}/NetworkLineParser.cpp ${_tel}/ModemLineParser.cpp ${_tel}/ModemConfig.cpp LIBS tellwise_store)
