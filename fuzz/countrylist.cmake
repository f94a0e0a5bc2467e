# CountryList.dat from arbitrary bytes.
tellwise_add_fuzzer(NAME fuzz_countrylist SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_countrylist.cpp LIBS tellwise_store)
