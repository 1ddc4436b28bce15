# Removes from the site folder every file the build did not put there (a page file since
# renamed or deleted, say), so that the folder holds the site and nothing else: it is
# what `make web` serves and what the release packs.
#
# cmake -DSITE=<folder> -DKEEP=<names relative to it, ;-separated> -P prune_site.cmake
cmake_minimum_required(VERSION 3.25)
file(GLOB_RECURSE present RELATIVE ${SITE} ${SITE}/*)
foreach(name IN LISTS present)
    if(NOT name IN_LIST KEEP)
        message(STATUS "Site: removing ${name}, which the build no longer makes")
        file(REMOVE ${SITE}/${name})
    endif()
endforeach()
