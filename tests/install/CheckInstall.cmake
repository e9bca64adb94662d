# Installs the build into an empty prefix and checks what a desktop would
# see there: exactly the expected files, a desktop entry and metainfo that
# the freedesktop validators accept, MIME globs that shared-mime-info
# compiles, icons of the sizes their folders claim, and programs that run.
#   cmake -DBUILD=<build dir> -DPREFIX=<empty dir> -DEXPECTED=<list> -DVERSION=<x.y.z.w> -P CheckInstall.cmake
set(appId org.orvik_simulator.Orvik)
set(failures "")
macro(fail text)
  string(APPEND failures "${text}\n")
endmacro()

file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX}
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed:\n${out}")
endif()

file(GLOB_RECURSE installed RELATIVE ${PREFIX} ${PREFIX}/*)
list(SORT installed)
file(STRINGS ${EXPECTED} expected)
list(SORT expected)
set(missing ${expected})
list(REMOVE_ITEM missing ${installed})
set(extra ${installed})
list(REMOVE_ITEM extra ${expected})
if(missing)
  fail("not installed: ${missing}")
endif()
if(extra)
  fail("installed but not expected: ${extra}")
endif()

foreach(tool desktop-file-validate appstreamcli update-mime-database)
  find_program(${tool}_PATH ${tool})
  if(NOT ${tool}_PATH)
    message(FATAL_ERROR "${tool} is missing; scripts/setup installs it")
  endif()
endforeach()

# The validators print hints and warnings with exit code 0; any line counts.
set(desktopFile ${PREFIX}/share/applications/${appId}.desktop)
execute_process(COMMAND ${desktop-file-validate_PATH} ${desktopFile}
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0 OR NOT out STREQUAL "")
  fail("desktop-file-validate:\n${out}")
endif()
set(metainfo ${PREFIX}/share/metainfo/${appId}.metainfo.xml)
execute_process(COMMAND ${appstreamcli_PATH} validate --no-net --no-color ${metainfo}
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0 OR NOT out MATCHES "Validation was successful")
  fail("appstreamcli validate:\n${out}")
endif()
file(READ ${metainfo} metainfoText)
if(NOT metainfoText MATCHES "<release version=\"${VERSION}\"")
  fail("the metainfo's release is not version ${VERSION}")
endif()

# The entry starts an installed program, shows an installed icon and claims
# exactly the MIME types the package defines.
file(STRINGS ${desktopFile} execLine REGEX "^Exec=")
string(REGEX REPLACE "^Exec=([^ ]+).*" "\\1" execProgram "${execLine}")
if(NOT EXISTS ${PREFIX}/bin/${execProgram})
  fail("Exec= names ${execProgram}, which is not installed in bin")
endif()
file(STRINGS ${desktopFile} iconLine REGEX "^Icon=")
if(NOT iconLine STREQUAL "Icon=${appId}" OR NOT EXISTS ${PREFIX}/share/icons/hicolor/scalable/apps/${appId}.svg)
  fail("Icon= does not name the installed icon: ${iconLine}")
endif()
execute_process(COMMAND ${update-mime-database_PATH} ${PREFIX}/share/mime RESULT_VARIABLE rc ERROR_VARIABLE out)
file(STRINGS ${PREFIX}/share/mime/globs2 globs)
file(STRINGS ${desktopFile} mimeLine REGEX "^MimeType=")
# file(STRINGS) escapes the semicolons of a line as list separators.
string(REPLACE "\\;" ";" mimeLine "${mimeLine}")
foreach(pair "application/x-orvik-program:*.prg" "text/x-orvik-asm:*.asm")
  string(REPLACE ":" ";" parts "${pair}")
  list(GET parts 0 type)
  list(GET parts 1 glob)
  string(REPLACE "*" "\\*" globPattern "${glob}")
  string(REPLACE "." "\\." globPattern "${globPattern}")
  if(NOT "${globs}" MATCHES ":${type}:${globPattern}")
    fail("shared-mime-info does not map ${glob} to ${type}: ${out}")
  endif()
  if(NOT "${mimeLine}" MATCHES "[=;]${type};")
    fail("the desktop entry does not open ${type}")
  endif()
endforeach()

# A PNG's width and height are the big-endian words at bytes 16 and 20.
file(GLOB pngs ${PREFIX}/share/icons/hicolor/*/apps/${appId}.png)
foreach(png IN LISTS pngs)
  string(REGEX REPLACE ".*/([0-9]+)x([0-9]+)/apps/.*" "\\1" size "${png}")
  file(READ ${png} header OFFSET 16 LIMIT 8 HEX)
  string(SUBSTRING "${header}" 0 8 width)
  string(SUBSTRING "${header}" 8 8 height)
  math(EXPR width "0x${width}")
  math(EXPR height "0x${height}")
  if(NOT width EQUAL size OR NOT height EQUAL size)
    fail("${png} is ${width}x${height}")
  endif()
endforeach()

execute_process(COMMAND ${PREFIX}/bin/orvik-cli run ${PREFIX}/share/doc/orvik/examples/hello.asm
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR NOT out MATCHES "Hello world !!")
  fail("the installed orvik-cli did not run the installed example (exit ${rc}): ${out}${err}")
endif()

if(failures)
  message(FATAL_ERROR "${failures}")
endif()
