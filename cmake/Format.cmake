# cmake --build <dir> --target format: Debian 12's clang-format (14) with the
# repository's .clang-format over the sources; format-check only reports.
set(DL_FORMAT_FOLDERS data core ui declaration print login submit year app tests bench)

find_program(DL_CLANG_FORMAT NAMES clang-format-14 clang-format)
if(DL_CLANG_FORMAT)
  set(_format_files ${CMAKE_SOURCE_DIR}/main.cpp)
  foreach(_folder ${DL_FORMAT_FOLDERS})
    file(GLOB_RECURSE _found CONFIGURE_DEPENDS
         ${CMAKE_SOURCE_DIR}/${_folder}/*.cpp ${CMAKE_SOURCE_DIR}/${_folder}/*.h)
    list(APPEND _format_files ${_found})
  endforeach()
  list(SORT _format_files)
  add_custom_target(format
    COMMAND ${DL_CLANG_FORMAT} --style=file -i ${_format_files}
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
    COMMENT "clang-format over the sources"
    VERBATIM)
  add_custom_target(format-check
    COMMAND ${DL_CLANG_FORMAT} --style=file --dry-run --Werror ${_format_files}
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
    COMMENT "clang-format --dry-run over the sources"
    VERBATIM)
  # The test runs clang-format itself: a build in the build folder would
  # race the package test's.
  set(DL_FORMAT_CHECK_COMMAND ${DL_CLANG_FORMAT} --style=file --dry-run --Werror ${_format_files})
endif()
