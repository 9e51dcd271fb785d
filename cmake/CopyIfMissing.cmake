# Copies each file of FILES from SOURCE_DIR to DEST_DIR unless DEST_DIR holds it already:
# the data files beside the executable are the user's own once they exist.
#   cmake -DSOURCE_DIR=... -DDEST_DIR=... -DFILES="a;b" -P CopyIfMissing.cmake
foreach(file IN LISTS FILES)
  if(NOT EXISTS "${DEST_DIR}/${file}")
    get_filename_component(dir "${DEST_DIR}/${file}" DIRECTORY)
    file(MAKE_DIRECTORY "${dir}")
    file(COPY_FILE "${SOURCE_DIR}/${file}" "${DEST_DIR}/${file}")
  endif()
endforeach()
