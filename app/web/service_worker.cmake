# Writes the page's service worker into the page folder: the list of every
# file the folder holds (so that a file added to the page by any part of the
# build is kept for offline use without being named here) and a cache name
# from a hash of their contents, so that each build with a changed file is a
# new worker to the browser. Run after everything that writes into the
# folder:  cmake -DFOLDER=<page folder> -DTEMPLATE=<service_worker.js.in> -P service_worker.cmake
if(NOT IS_DIRECTORY "${FOLDER}" OR NOT EXISTS "${TEMPLATE}")
  message(FATAL_ERROR "service_worker.cmake: needs -DFOLDER=<page folder> and -DTEMPLATE=<template>")
endif()

set(worker service_worker.js)
file(GLOB files LIST_DIRECTORIES false RELATIVE "${FOLDER}" "${FOLDER}/*")
list(REMOVE_ITEM files ${worker})
list(SORT files)

set(listing "")
set(PAGE_FILES "'./'")   # the folder's own address: the page as it is opened
foreach(file IN LISTS files)
  file(SHA256 "${FOLDER}/${file}" digest)
  string(APPEND listing "${file} ${digest}\n")
  string(APPEND PAGE_FILES ", '${file}'")
endforeach()
string(SHA256 PAGE_HASH "${listing}")
string(SUBSTRING "${PAGE_HASH}" 0 16 PAGE_HASH)

# Rewritten only when it changes: an unchanged build leaves the worker as it was.
configure_file("${TEMPLATE}" "${FOLDER}/${worker}" @ONLY)
