# Writes the service worker's version and file list into ${SITE}/sw.js from
# the page's own copy: the version is a hash of every file it caches, so any
# change to the page, the core or the examples installs a new cache.
#   cmake -DSOURCE=web/site/sw.js -DSITE=build-web/web/site -P stamp-sw.cmake
file(GLOB_RECURSE files RELATIVE ${SITE} ${SITE}/*)
list(REMOVE_ITEM files sw.js)
# Source maps are for the debugger, which fetches them itself when open.
list(FILTER files EXCLUDE REGEX "\\.map$")
list(SORT files)
set(hashes "")
set(names "")
foreach(name IN LISTS files)
  file(SHA256 ${SITE}/${name} hash)
  string(APPEND hashes "${name} ${hash}\n")
  string(APPEND names "'${name}', ")
endforeach()
string(SHA256 version "${hashes}")
string(SUBSTRING ${version} 0 16 version)
file(READ ${SOURCE} text)
string(REPLACE "@VERSION@" ${version} text "${text}")
string(REPLACE "/*@FILES@*/" "${names}" text "${text}")
file(WRITE ${SITE}/sw.js.new "${text}")
file(RENAME ${SITE}/sw.js.new ${SITE}/sw.js)
