# Writes the page into PAGEDIR: index.html with its style sheet (without its
# comments and runs of blanks), the program's script (PROGRAM), the page's own
# (SCRIPT, its parts shrunk into one, in place of the tags of PARTS, the parts'
# names comma-separated) and the program's WebAssembly as text (WASM, written
# by wasmtext.js, a data block the page decodes) written into it, and the
# program's first text (FIRST, from firsttext.js) in its transcript, so that
# the first text waits for one download, not several, nor for the program.
# Both scripts are held as text, which index.html runs once the first text is
# painted; then the service worker
# (sw.js) from its template, with the list of the files it keeps (index.html
# and the other files named in NAMES, comma-separated, already in PAGEDIR) and
# a version made of their contents' hash and its own, which names its cache.
#   cmake -DPAGEDIR=... -DSOURCEDIR=web -DPROGRAM=quiverly.js -DWASM=quiverly.wasm.text
#         -DSCRIPT=quiverly-page.js -DPARTS=transcript,keypad -DFIRST=firsttext.html
#         -DNAMES=a,b -P gather.cmake
file(READ ${SOURCEDIR}/index.html page)
file(READ ${SOURCEDIR}/quiverly.css style)
file(READ ${PROGRAM} program)
file(READ ${SCRIPT} script)
string(REPLACE "," ";" parts "${PARTS}")
set(tags "")
foreach(part IN LISTS parts)
  string(APPEND tags "<script src=\"${part}.js\"></script>\n")
endforeach()
string(REGEX REPLACE "/\\*([^*]|\\*+[^*/])*\\*+/" "" style "${style}")
string(REGEX REPLACE "[ \n]+" " " style "${style}")
file(READ ${WASM} wasm)
file(READ ${FIRST} first)
foreach(part style program script)
  if("${${part}}" MATCHES "</(style|script)")
    message(FATAL_ERROR "${part} holds an end tag and cannot be written into the page")
  endif()
endforeach()
string(REPLACE "<link rel=\"stylesheet\" href=\"quiverly.css\">" "<style>\n${style}</style>" page "${page}")
string(REPLACE "<script src=\"quiverly.js\"></script>"
       "<script type=\"application/wasm\" id=\"program\">${wasm}</script>\n<script type=\"text/plain\" class=\"held\">\n${program}</script>" page "${page}")
string(REPLACE "${tags}" "<script type=\"text/plain\" class=\"held\">\n${script}</script>\n" page "${page}")
string(REPLACE "aria-label=\"Dialogue\"></div>" "aria-label=\"Dialogue\">${first}</div>" page "${page}")
string(FIND "${page}" "Dialogue\">${first}</div>" at)
if(at EQUAL -1)
  message(FATAL_ERROR "index.html no longer holds the transcript as gather.cmake expects")
endif()
if("${page}" MATCHES "href=\"quiverly.css\"|src=\"[a-z]+.js\"")
  message(FATAL_ERROR "index.html no longer names its style and scripts as gather.cmake expects")
endif()
file(WRITE ${PAGEDIR}/index.html "${page}")

string(REPLACE "," ";" names "${NAMES}")
list(APPEND names index.html)
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
