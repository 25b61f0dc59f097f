# Warnings are errors on every target of the project; set per target so that
# third-party code pulled in later is not affected.
function(brindle_set_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()
