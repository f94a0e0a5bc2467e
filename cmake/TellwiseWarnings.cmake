# Warning flags for the project's own targets.
function(tellwise_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
endfunction()

# Adds subdirectories of DIR that hold a CMakeLists.txt, in name order, so a new layer or
# tool joins the build by existing.
function(tellwise_add_subdirectories dir)
    file(GLOB _entries RELATIVE ${dir} CONFIGURE_DEPENDS ${dir}/*/CMakeLists.txt)
    list(SORT _entries)
    foreach(_entry IN LISTS _entries)
        get_filename_component(_sub ${_entry} DIRECTORY)
        add_subdirectory(${dir}/${_sub})
    endforeach()
endfunction()
