# The warnings every target of the project is compiled with; set per target so
# that third-party code pulled in later is not affected. They are not errors
# here: a packager's compiler may warn where ours does not, and that must not
# break their build. The dev, asan and CI presets turn them into errors with
# CMAKE_COMPILE_WARNING_AS_ERROR.
function(brindle_set_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
endfunction()
