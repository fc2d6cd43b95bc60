# Writes the page into PAGEDIR: index.html with its style sheet (without its
# comments and runs of blanks) and the program's first text (FIRST, from
# firsttext.js) written into it, so that the first text waits for one
# download, not two, nor for the program; quiverly-program.js, which
# index.html loads once that text is painted, with the program's WebAssembly
# (WASM, a string written by wasmtext.js), its script (PROGRAM) and the page's
# own (SCRIPT, its parts shrunk into one); then the service worker (sw.js)
# from its template, with the list of the files it keeps (those two and the
# other files named in NAMES, comma-separated, already in PAGEDIR) and a
# version made of their contents' hash and its own, which names its cache.
#   cmake -DPAGEDIR=... -DSOURCEDIR=web -DPROGRAM=quiverly.js -DWASM=quiverly.wasm.text
#         -DSCRIPT=quiverly-page.js -DFIRST=firsttext.html -DNAMES=a,b -P gather.cmake
file(READ ${SOURCEDIR}/index.html page)
file(READ ${SOURCEDIR}/quiverly.css style)
file(READ ${FIRST} first)
string(REGEX REPLACE "/\\*([^*]|\\*+[^*/])*\\*+/" "" style "${style}")
string(REGEX REPLACE "[ \n]+" " " style "${style}")
if("${style}" MATCHES "</style")
  message(FATAL_ERROR "the style sheet holds an end tag and cannot be written into the page")
endif()
string(REPLACE "<link rel=\"stylesheet\" href=\"quiverly.css\">" "<style>\n${style}</style>" page "${page}")
string(REPLACE "aria-label=\"Dialogue\"></div>" "aria-label=\"Dialogue\">${first}</div>" page "${page}")
string(FIND "${page}" "Dialogue\">${first}</div>" at)
if(at EQUAL -1)
  message(FATAL_ERROR "index.html no longer holds the transcript as gather.cmake expects")
endif()
if("${page}" MATCHES "href=\"quiverly.css\"" OR NOT "${page}" MATCHES "'quiverly-program.js'")
  message(FATAL_ERROR "index.html no longer names its style and script as gather.cmake expects")
endif()
file(WRITE ${PAGEDIR}/index.html "${page}")

file(READ ${WASM} wasm)
file(READ ${PROGRAM} program)
file(READ ${SCRIPT} script)
file(WRITE ${PAGEDIR}/quiverly-program.js "window.quiverlywasm = \"${wasm}\";\n${program}\n${script}")

string(REPLACE "," ";" names "${NAMES}")
list(APPEND names index.html quiverly-program.js)
list(SORT names)
set(digests "")
set(files "")
foreach(name IN LISTS names)
  file(SHA256 ${PAGEDIR}/${name} digest)
  string(APPEND digests "${name} ${digest}\n")
  string(APPEND files "  './${name}',\n")
endforeach()
file(READ ${SOURCEDIR}/sw.js worker)
string(APPEND digests "sw.js ${worker}")
string(SHA256 version "${digests}")
string(SUBSTRING ${version} 0 16 version)
string(REPLACE "@QUIVERLY_VERSION@" "${version}" worker "${worker}")
string(REPLACE "  @QUIVERLY_FILES@\n" "${files}" worker "${worker}")
file(WRITE ${PAGEDIR}/sw.js "${worker}")
