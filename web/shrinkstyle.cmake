# Writes the style sheet IN to OUT without its comments and the spaces that
# do not count, for a style sheet the page loads as a file of its own.
#   cmake -DIN=web/progress.css -DOUT=build-web/web/progress.css -P shrinkstyle.cmake
file(READ ${IN} style)
string(REGEX REPLACE "/\\*([^*]|\\*+[^*/])*\\*+/" "" style "${style}")
string(REGEX REPLACE "[ \t\n]+" " " style "${style}")
string(REGEX REPLACE " ?([{};,>]) ?" "\\1" style "${style}")
string(REGEX REPLACE ": " ":" style "${style}")
string(REGEX REPLACE ";}" "}" style "${style}")
string(REGEX REPLACE "([ :])0\\." "\\1." style "${style}")
string(STRIP "${style}" style)
file(WRITE ${OUT} "${style}\n")
