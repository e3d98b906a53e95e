# Warnings are errors in our own code only; Qt's and GoogleTest's headers are system headers.
function(varnex_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
                                           -Wold-style-cast -Wcast-align -Woverloaded-virtual
                                           -Wnull-dereference -Wformat=2 -Werror)
endfunction()
