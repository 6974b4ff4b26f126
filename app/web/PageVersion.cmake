# The page's service worker for one build: cmake -DPAGE_DIR=<folder>
# -DTEMPLATE=<service-worker.js.in> -DFILES=<names> -P PageVersion.cmake writes
# <folder>/service-worker.js, its cache named after a hash of the page's files
# so that every new build replaces the cache. Depends on: the files built.
set(hashes)
set(quoted)
foreach(name IN LISTS FILES)
  file(SHA256 ${PAGE_DIR}/${name} hash)
  string(APPEND hashes ${hash})
  list(APPEND quoted "'${name}'")
endforeach()
string(SHA256 all "${hashes}")
string(SUBSTRING ${all} 0 16 TONKELWERK_PAGE_VERSION)
list(JOIN quoted ", " TONKELWERK_PAGE_FILES)
configure_file(${TEMPLATE} ${PAGE_DIR}/service-worker.js @ONLY)
