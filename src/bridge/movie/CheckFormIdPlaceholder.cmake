# Fails unless the movie holds the form id placeholder "!}id}!" exactly once: the runtime
# writes the id over the first occurrence, and a second one would keep the placeholder.
file(READ ${MOVIE} bytes HEX)
string(REGEX MATCHALL "217d69647d21" found "${bytes}")
list(LENGTH found count)
if(NOT count EQUAL 1)
  file(REMOVE ${MOVIE})
  message(FATAL_ERROR "${MOVIE}: the form id placeholder occurs ${count} times, not once")
endif()
