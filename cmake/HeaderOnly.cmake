# Debian's header-only libraries (SimpleIni, xxHash) for a target. A cross
# build finds them among the build machine's headers and copies each into
# the build folder: /usr/include itself must never reach the Windows
# compiler, whose C library headers it would shadow.
function(orvo_use_header_only target header)
  string(MAKE_C_IDENTIFIER ${header} _id)
  if(CMAKE_CROSSCOMPILING)
    find_file(ORVO_HOST_${_id} ${header} PATHS /usr/include NO_DEFAULT_PATH
      NO_CMAKE_FIND_ROOT_PATH REQUIRED)
    set(_dir ${PROJECT_BINARY_DIR}/header-only)
    configure_file(${ORVO_HOST_${_id}} ${_dir}/${header} COPYONLY)
  else()
    find_path(ORVO_DIR_${_id} ${header} REQUIRED)
    set(_dir ${ORVO_DIR_${_id}})
  endif()
  target_include_directories(${target} SYSTEM PRIVATE ${_dir})
endfunction()
