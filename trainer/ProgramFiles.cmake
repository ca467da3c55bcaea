# Copies the shipped suites next to the program and the default settings file
# only when there is none yet.
file(GLOB suites "${SRC}/suites/*.EPD" "${SRC}/suites/*.epd")
file(MAKE_DIRECTORY "${DEST}")
foreach(s ${suites})
    file(COPY "${s}" DESTINATION "${DEST}")
endforeach()
if(NOT EXISTS "${DEST}/Kestrelux.ini")
    file(COPY "${SRC}/Kestrelux.ini" DESTINATION "${DEST}")
endif()
