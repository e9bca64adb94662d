# Runs orvik-cli in one golden case directory and compares standard output,
# standard error and the exit code byte for byte with the files stdout,
# stderr and exit there. The arguments are the lines of the file args; paths
# in them are relative to the case directory.
#   cmake -DCLI=path/to/orvik-cli -DCASE=case/dir -DOUT=scratch/dir -P RunGolden.cmake
file(STRINGS "${CASE}/args" arguments)
file(MAKE_DIRECTORY "${OUT}")
execute_process(
  COMMAND "${CLI}" ${arguments}
  WORKING_DIRECTORY "${CASE}"
  OUTPUT_FILE "${OUT}/stdout"
  ERROR_FILE "${OUT}/stderr"
  RESULT_VARIABLE exitCode)
file(WRITE "${OUT}/exit" "${exitCode}\n")

set(failed "")
foreach(part stdout stderr exit)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${CASE}/${part}" "${OUT}/${part}" RESULT_VARIABLE differs)
  if(differs)
    file(READ "${CASE}/${part}" expected)
    file(READ "${OUT}/${part}" actual)
    message("--- expected ${part}:\n${expected}\n--- actual ${part}:\n${actual}")
    list(APPEND failed ${part})
  endif()
endforeach()
if(failed)
  message(FATAL_ERROR "orvik-cli ${arguments}: ${failed} differ")
endif()
