# Writes the page's service worker into the page folder: the list of every
# file the folder holds, whoever put it there, and a version that changes
# with any byte of them, so a new build replaces the visitor's cached page.
#   cmake -DPAGE_DIR=... -DTEMPLATE=.../service_worker.js -P page_worker.cmake
file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${PAGE_DIR} ${PAGE_DIR}/*)
list(REMOVE_ITEM files service_worker.js)
list(SORT files)
set(entries)
set(digests "")
foreach(file IN LISTS files)
  file(SHA256 ${PAGE_DIR}/${file} digest)
  string(APPEND digests "${file} ${digest}\n")
  list(APPEND entries "'${file}'")
endforeach()
list(JOIN entries ", " PAGE_FILES)
set(PAGE_FILES "[${PAGE_FILES}]")
string(SHA256 PAGE_VERSION "${digests}")
string(SUBSTRING ${PAGE_VERSION} 0 16 PAGE_VERSION)
# Written only when it changes, so an unchanged page keeps its worker.
configure_file(${TEMPLATE} ${PAGE_DIR}/service_worker.js @ONLY)
