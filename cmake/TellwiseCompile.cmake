# How the project's own targets are compiled: warnings, and the Qt headers precompiled once.
#
# Nearly every unit includes a good part of QtCore, QtGui and QtWidgets, and parsing them is most
# of a unit's compile time. One precompiled header holds all three; every target of the normal
# build reuses it, since they all compile with the same options. It is made by a target of its
# own that defines none of Qt's QT_*_LIB module macros (clang takes a precompiled header made
# without a macro into a unit that defines it, not the other way round). QtTest stays out of it:
# its QTEST_MAIN depends on the macros of the modules a test links.
option(TELLWISE_PCH "Precompile the Qt headers" ON)

if(TELLWISE_PCH)
    file(WRITE ${CMAKE_BINARY_DIR}/precompiled/qt_headers.cpp "// Only here to make the precompiled Qt headers.\n")
    add_library(tellwise_qt_pch STATIC ${CMAKE_BINARY_DIR}/precompiled/qt_headers.cpp)
    set_target_properties(tellwise_qt_pch PROPERTIES AUTOMOC OFF)
    target_link_libraries(tellwise_qt_pch PRIVATE Qt6::Core)
    target_include_directories(tellwise_qt_pch SYSTEM PRIVATE
                               $<TARGET_PROPERTY:Qt6::Widgets,INTERFACE_INCLUDE_DIRECTORIES>)
    target_precompile_headers(tellwise_qt_pch PRIVATE "$<$<COMPILE_LANGUAGE:CXX>:<QtWidgets/QtWidgets>>")
endif()

# A linker that links the many test programs in a fraction of the time.
include(CheckLinkerFlag)
check_linker_flag(CXX -fuse-ld=lld TELLWISE_HAVE_LLD)
if(TELLWISE_HAVE_LLD)
    add_link_options(-fuse-ld=lld)
endif()

function(tellwise_compile_defaults target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
    if(TELLWISE_PCH)
        target_precompile_headers(${target} REUSE_FROM tellwise_qt_pch)
    endif()
endfunction()
