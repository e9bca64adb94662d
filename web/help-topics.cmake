# Copies the desktop's help pages that the browser edition shows (HTML
# fragments in src/desktop/help) into ${SITE}/help, and writes topics.json
# with their titles as the desktop's topic table (HelpTopics.cpp) has them,
# so the page shows the same words from the same files.
#   cmake -DHELP=src/desktop/help -DTOPICS=src/desktop/HelpTopics.cpp -DSITE=... -DNAMES=a,b -P help-topics.cmake
string(REPLACE "," ";" NAMES "${NAMES}")
file(READ ${TOPICS} table)
file(MAKE_DIRECTORY ${SITE}/help)
set(json "[")
set(separator "")
foreach(name IN LISTS NAMES)
  string(REGEX MATCH "Titled\\(\"([^\"]*)\", [0-9]+, \"${name}\"\\)" found "${table}")
  if(NOT found)
    message(FATAL_ERROR "help topic ${name} is not in ${TOPICS}")
  endif()
  string(REGEX REPLACE ":$" "" title "${CMAKE_MATCH_1}")
  configure_file(${HELP}/${name}.html ${SITE}/help/${name}.html COPYONLY)
  string(APPEND json "${separator}{\"name\": \"${name}\", \"title\": \"${title}\"}")
  set(separator ", ")
endforeach()
string(APPEND json "]\n")
file(WRITE ${SITE}/help/topics.json "${json}")
