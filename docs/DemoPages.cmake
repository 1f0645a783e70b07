# Renders the demonstration PDF into DemoImgs: quire-convert imports it and
# publishes a book, whose page pictures files/page/N.jpg become OUT/NN.jpg.
# Arguments: CONVERT (quire-convert), PDF, WORK (a scratch folder), OUT.
foreach(var CONVERT PDF WORK OUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "DemoPages.cmake needs -D${var}=...")
  endif()
endforeach()

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/data)
# The converter logs into the user's data folder: keep the build's log apart.
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env XDG_DATA_HOME=${WORK}/data
          ${CONVERT} ${PDF} -o ${WORK}/book --quality 1 --quiet
  RESULT_VARIABLE status
  ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "quire-convert failed (${status}): ${errors}")
endif()

file(GLOB pages RELATIVE ${WORK}/book/files/page ${WORK}/book/files/page/*.jpg)
list(SORT pages COMPARE NATURAL)
list(LENGTH pages count)
if(count EQUAL 0)
  message(FATAL_ERROR "quire-convert wrote no page pictures into ${WORK}/book/files/page")
endif()
string(LENGTH "${count}" digits)
if(digits LESS 2)
  set(digits 2)
endif()

# Only this book's pages: pictures of a longer earlier version go.
file(GLOB old ${OUT}/*.jpg)
if(old)
  file(REMOVE ${old})
endif()
file(MAKE_DIRECTORY ${OUT})
set(expected 1)
foreach(page IN LISTS pages)
  string(REGEX REPLACE "\\.jpg$" "" number "${page}")
  if(NOT number EQUAL expected)
    message(FATAL_ERROR "page pictures are not numbered 1 to ${count}: found ${page}")
  endif()
  string(LENGTH "${number}" length)
  set(name "${number}")
  while(length LESS digits)
    string(PREPEND name "0")
    math(EXPR length "${length} + 1")
  endwhile()
  file(COPY_FILE ${WORK}/book/files/page/${page} ${OUT}/${name}.jpg)
  math(EXPR expected "${expected} + 1")
endforeach()
file(REMOVE_RECURSE ${WORK})
