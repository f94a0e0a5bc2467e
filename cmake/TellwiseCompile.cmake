# Warning flags for the project's own targets.
function(tellwise_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
endfunction()
