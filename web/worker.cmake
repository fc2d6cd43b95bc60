# Writes the page's service worker (sw.js) from its template: the list of the
# files it keeps (NAMES, comma-separated, in PAGEDIR), and a version made of
# their contents' hash and its own, which names its cache.
#   cmake -DPAGEDIR=... -DNAMES=a,b -DTEMPLATE=.../sw.js -P worker.cmake
string(REPLACE "," ";" names "${NAMES}")
list(SORT names)
set(digests "")
set(files "")
foreach(name IN LISTS names)
  file(SHA256 ${PAGEDIR}/${name} digest)
  string(APPEND digests "${name} ${digest}\n")
  string(APPEND files "  './${name}',\n")
endforeach()
file(READ ${TEMPLATE} worker)
string(APPEND digests "sw.js ${worker}")
string(SHA256 version "${digests}")
string(SUBSTRING ${version} 0 16 version)
string(REPLACE "@QUIVERLY_VERSION@" "${version}" worker "${worker}")
string(REPLACE "  @QUIVERLY_FILES@\n" "${files}" worker "${worker}")
file(WRITE ${PAGEDIR}/sw.js "${worker}")
