# Warnings are set per target; CMAKE_CXX_FLAGS stays the user's.
function(orvik_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
  if(ORVIK_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# The headless core also checks narrowing: byte arithmetic hides truncation.
function(orvik_core_warnings target)
  orvik_warnings(${target})
  target_compile_options(${target} PRIVATE -Wconversion -Wsign-conversion)
endfunction()
