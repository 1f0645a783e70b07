# Installs the build into PREFIX (made afresh), checks that the desktop finds
# Quire there, validates the installed entry and description, and removes
# PREFIX again. Naming the component keeps the user's own install manifest
# (build/install_manifest.txt) as it is.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX} --component Unspecified
  RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${errors}")
endif()

set(missing)
foreach(file
    bin/quire bin/quire-convert bin/quire-player
    share/applications/quire.desktop
    share/metainfo/org.example.Quire.metainfo.xml
    share/icons/hicolor/16x16/apps/quire.png share/icons/hicolor/48x48/apps/quire.png
    share/icons/hicolor/256x256/apps/quire.png share/icons/hicolor/512x512/apps/quire.png
    "share/quire/resources/Quire for Mac Help/Quire for Mac Manual.pdf"
    share/quire/resources/DemoImgs/01.jpg share/quire/resources/apply.png)
  if(NOT EXISTS "${PREFIX}/${file}")
    list(APPEND missing "${file}")
  endif()
endforeach()
if(missing)
  message(FATAL_ERROR "not installed: ${missing}")
endif()

# The icons are the sizes their folders say (the PNG header's width and height).
foreach(size_header "16;0000001000000010" "256;0000010000000100")
  list(GET size_header 0 size)
  list(GET size_header 1 expected)
  file(READ ${PREFIX}/share/icons/hicolor/${size}x${size}/apps/quire.png dimensions OFFSET 16 LIMIT 8 HEX)
  if(NOT dimensions STREQUAL expected)
    message(FATAL_ERROR "the ${size}x${size} icon is not that size (${dimensions})")
  endif()
endforeach()

execute_process(COMMAND ${DESKTOP_FILE_VALIDATE} ${PREFIX}/share/applications/quire.desktop
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT status EQUAL 0 OR NOT out STREQUAL "")
  message(FATAL_ERROR "desktop-file-validate: ${out}")
endif()
execute_process(COMMAND ${APPSTREAMCLI} validate --no-net ${PREFIX}/share/metainfo/org.example.Quire.metainfo.xml
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "appstreamcli validate: ${out}")
endif()
# The entry starts the installed program with the document it is given.
file(STRINGS ${PREFIX}/share/applications/quire.desktop exec REGEX "^Exec=")
if(NOT exec STREQUAL "Exec=quire %f")
  message(FATAL_ERROR "unexpected ${exec}")
endif()
file(REMOVE_RECURSE ${PREFIX} ${BUILD}/install_manifest_Unspecified.txt)
