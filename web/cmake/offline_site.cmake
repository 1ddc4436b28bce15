# Writes the site's service worker from its template: the names of the site's files, and
# one hash of all their contents (SHA-256, the first 16 hex digits) that names the
# worker's cache, so that any change to any file makes a new worker and a new cache.
#
# cmake -DSITE=<folder> "-DFILES=<names relative to it, ;-separated>" -DTEMPLATE=<file>
#       -DOUTPUT=<name relative to SITE> -P offline_site.cmake
cmake_minimum_required(VERSION 3.25)

set(contents "")
foreach(name IN LISTS FILES)
    file(SHA256 ${SITE}/${name} hash)
    string(APPEND contents "${hash} ${name}\n")
endforeach()
string(SHA256 version "${contents}")
string(SUBSTRING ${version} 0 16 version)

list(JOIN FILES " " names)
file(READ ${TEMPLATE} worker)
string(REPLACE "@SITE_VERSION@" "${version}" worker "${worker}")
string(REPLACE "@SITE_FILES@" "${names}" worker "${worker}")

# Rewritten only when it changes: an unchanged build leaves the worker as it was.
set(previous "")
if(EXISTS ${SITE}/${OUTPUT})
    file(READ ${SITE}/${OUTPUT} previous)
endif()
if(NOT previous STREQUAL worker)
    file(WRITE ${SITE}/${OUTPUT} "${worker}")
endif()
