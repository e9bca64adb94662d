# Fails when a headless source (machine, assembler, grading) includes a Qt header.
file(GLOB_RECURSE sources ${ROOT}/machine/*.h ${ROOT}/machine/*.cpp ${ROOT}/assembler/*.h ${ROOT}/assembler/*.cpp
  ${ROOT}/grading/*.h ${ROOT}/grading/*.cpp)
set(offenders "")
foreach(f IN LISTS sources)
  file(STRINGS ${f} hits REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]Q")
  if(hits)
    list(APPEND offenders "${f}")
  endif()
endforeach()
if(offenders)
  message(FATAL_ERROR "Qt included by the headless core: ${offenders}")
endif()
