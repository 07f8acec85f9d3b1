# One place for the language level, warnings and strict Qt defines.
add_library(dl_common INTERFACE)
target_compile_features(dl_common INTERFACE cxx_std_20)
target_compile_definitions(dl_common INTERFACE
  QT_NO_CAST_FROM_ASCII
  QT_NO_CAST_TO_ASCII
  QT_NO_CONTEXTLESS_CONNECT
  QT_NO_KEYWORDS
  QT_USE_QSTRINGBUILDER
  QT_NO_FOREACH
  DL_VERSION="${PROJECT_VERSION}")
target_compile_options(dl_common INTERFACE
  -Wall -Wextra -pedantic -Wold-style-cast -Wshadow -Wnon-virtual-dtor)
option(DL_WERROR "Treat compiler warnings as errors" OFF)
if(DL_WERROR)
  target_compile_options(dl_common INTERFACE -Werror)
endif()

option(DL_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(DL_SANITIZE)
  target_compile_options(dl_common INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(dl_common INTERFACE -fsanitize=address,undefined)
endif()

# A product folder is a static library of the .cpp files in it.
function(dl_folder_library name)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  file(GLOB _qrc CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  add_library(${name} STATIC ${_src} ${_qrc})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC dl_common ${ARG_LIBS})
endfunction()
