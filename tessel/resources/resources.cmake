# Tessel's embedded assets are produced at build time and never committed: the font is the
# open-licence face from the system font package, the two images are rendered from our SVGs.
set(TESSEL_ASSET_DIR ${CMAKE_CURRENT_BINARY_DIR}/assets)
set(TESSEL_FONT_SOURCE /usr/share/fonts/truetype/open-sans/OpenSans-Semibold.ttf
  CACHE FILEPATH "TrueType font embedded in Tessel.dll as resource TTF 106")
find_program(TESSEL_RSVG_CONVERT rsvg-convert REQUIRED)

set(TESSEL_RES_DIR ${CMAKE_CURRENT_SOURCE_DIR}/resources)
set(TESSEL_ASSETS
  ${TESSEL_ASSET_DIR}/OpenSans-Semibold.ttf
  ${TESSEL_ASSET_DIR}/scroll_horizontal.png
  ${TESSEL_ASSET_DIR}/scroll_vertical.png)

add_custom_command(OUTPUT ${TESSEL_ASSET_DIR}/OpenSans-Semibold.ttf
  COMMAND ${CMAKE_COMMAND} -E make_directory ${TESSEL_ASSET_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy ${TESSEL_FONT_SOURCE} ${TESSEL_ASSET_DIR}/OpenSans-Semibold.ttf
  DEPENDS ${TESSEL_FONT_SOURCE}
  COMMENT "Copying the embedded font")
add_custom_command(OUTPUT ${TESSEL_ASSET_DIR}/scroll_horizontal.png
  COMMAND ${CMAKE_COMMAND} -E make_directory ${TESSEL_ASSET_DIR}
  COMMAND ${TESSEL_RSVG_CONVERT} -w 22 -h 20 -o ${TESSEL_ASSET_DIR}/scroll_horizontal.png
          ${TESSEL_RES_DIR}/scroll_horizontal.svg
  DEPENDS ${TESSEL_RES_DIR}/scroll_horizontal.svg
  COMMENT "Rendering scroll_horizontal.png")
add_custom_command(OUTPUT ${TESSEL_ASSET_DIR}/scroll_vertical.png
  COMMAND ${CMAKE_COMMAND} -E make_directory ${TESSEL_ASSET_DIR}
  COMMAND ${TESSEL_RSVG_CONVERT} -w 12 -h 72 -o ${TESSEL_ASSET_DIR}/scroll_vertical.png
          ${TESSEL_RES_DIR}/scroll_vertical.svg
  DEPENDS ${TESSEL_RES_DIR}/scroll_vertical.svg
  COMMENT "Rendering scroll_vertical.png")

target_sources(Tessel PRIVATE ${TESSEL_ASSETS})
# windres looks up the files an .rc names in its include directories.
target_include_directories(Tessel PRIVATE ${TESSEL_ASSET_DIR})
set_source_files_properties(${TESSEL_RES_DIR}/Tessel.rc PROPERTIES OBJECT_DEPENDS "${TESSEL_ASSETS}")
