# Copies the shipped suites next to the program and writes the default
# settings file only when there is none yet.
file(GLOB suites "${SRC}/suites/*.EPD" "${SRC}/suites/*.epd")
file(MAKE_DIRECTORY "${DEST}")
foreach(s ${suites})
    file(COPY "${s}" DESTINATION "${DEST}")
endforeach()
if(NOT EXISTS "${DEST}/Kestrelux.ini")
    file(WRITE "${DEST}/Kestrelux.ini"
        "[Kestrelux]\nEngine=/usr/games/polyglot\nCommandLine=-noini -ec /usr/games/stockfish\n")
endif()
