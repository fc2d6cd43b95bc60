# Writes the progress view's script with its style in it: progress.js from
# SOURCEDIR with progress.css, without its comments and the spaces that do not
# count, in place of the text @PROGRESS_STYLE@, into OUT, which Closure
# Compiler then shrinks with the page's other parts. The view's style comes
# with the script that the page loads after its first text, and showing the
# view parses a style sheet rather than starting a download.
#   cmake -DSOURCEDIR=web -DOUT=build-web/progress-styled.js -P progress.cmake
file(READ ${SOURCEDIR}/progress.css style)
string(REGEX REPLACE "/\\*([^*]|\\*+[^*/])*\\*+/" "" style "${style}")
string(REGEX REPLACE "[ \t\n]+" " " style "${style}")
string(REGEX REPLACE " ?([{};,>]) ?" "\\1" style "${style}")
string(REGEX REPLACE ": " ":" style "${style}")
string(REGEX REPLACE ";}" "}" style "${style}")
string(REGEX REPLACE "([ :])0\\." "\\1." style "${style}")
string(STRIP "${style}" style)
if(style MATCHES "['\\\\]")
  message(FATAL_ERROR "progress.css holds a quote or a backslash and cannot be written into a string")
endif()
file(READ ${SOURCEDIR}/progress.js script)
string(FIND "${script}" "@PROGRESS_STYLE@" at)
if(at EQUAL -1)
  message(FATAL_ERROR "progress.js no longer holds @PROGRESS_STYLE@ for its style")
endif()
string(REPLACE "@PROGRESS_STYLE@" "${style}" script "${script}")
file(WRITE ${OUT} "${script}")
