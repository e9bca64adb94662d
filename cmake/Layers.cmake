# Each folder under src/ is a library of its own, and a library sees only the
# folders it links: its public include root holds a link to its own folder
# and nothing else, and the folders below reach it through the libraries it
# declares. An include that points up (the machine including a window, the
# editor including the main window) then fails to compile, and a call that
# points up fails to link in the library's layer check below.
#
#   app      main() and start-up
#   mainwin  the main window, its dialogs, the composer
#   editor   the assembler editor
#   desktop  settings, window base, help, options, about, launching
#   controls the grids and the terminal view
#   cli      orvik-cli
#   grading  the exercise engine under orvik-cli and the window's Check
#   assembler, machine  the headless core

# orvik_layer(TARGET FOLDER): TARGET is the library of src/FOLDER.
function(orvik_layer target folder)
  set(root ${PROJECT_BINARY_DIR}/layers/${folder})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${folder} ${root}/${folder} SYMBOLIC)
  target_include_directories(${target} PUBLIC ${root})
endfunction()

# orvik_layer_check(TARGET): links every object of the static library TARGET
# with only the libraries it declares, so that a call into a library it does
# not declare (a layer above it) is an undefined reference. A static library
# alone never fails that way: its objects are resolved only when a program
# links, and the program links every layer.
function(orvik_layer_check target)
  if(EMSCRIPTEN)
    return()
  endif()
  add_executable(${target}_layer_check ${PROJECT_SOURCE_DIR}/cmake/LayerCheck.cpp)
  target_link_libraries(${target}_layer_check PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,${target}>")
endfunction()
