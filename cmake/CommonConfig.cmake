# One interface target that carries the language level, the warnings and the strict Qt defines
# every target of the project builds with.
add_library(tarvix_options INTERFACE)
target_compile_features(tarvix_options INTERFACE cxx_std_20)
target_compile_options(tarvix_options INTERFACE
  $<$<CXX_COMPILER_ID:GNU,Clang>:-Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
  -Wcast-align -Woverloaded-virtual -Wformat=2 -Wimplicit-fallthrough -Wold-style-cast>)
# Texts are never built from char* behind the reader's back (QT_NO_CAST_FROM_ASCII), concatenations
# are built once (QStringBuilder: never keep one in an `auto`, name the QString), and nothing
# deprecated up to Qt 6.4, the oldest Qt the program builds with.
target_compile_definitions(tarvix_options INTERFACE
  QT_NO_CAST_FROM_BYTEARRAY QT_NO_URL_CAST_FROM_STRING QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  QT_NO_FOREACH QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_USE_QSTRINGBUILDER
  QT_DISABLE_DEPRECATED_UP_TO=0x060400)
# A program loads at start only the shared libraries it calls: the spreadsheet reader alone does not
# pay for the database client libraries (libpq and what it brings) that the whole program links.
target_link_options(tarvix_options INTERFACE $<$<CXX_COMPILER_ID:GNU,Clang>:LINKER:--as-needed>)
if(TARVIX_WERROR)
  target_compile_options(tarvix_options INTERFACE -Werror)
endif()

# Fuzz build (tools/fuzz.sh): every target is instrumented for libFuzzer's coverage and checked by
# AddressSanitizer and UndefinedBehaviorSanitizer; the fuzz/ targets add the fuzzer's own main.
if(TARVIX_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "TARVIX_FUZZ needs clang: configure with CC=clang-14 CXX=clang++-14")
  endif()
  target_compile_options(tarvix_options INTERFACE
    -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(tarvix_options INTERFACE -fsanitize=address,undefined)
endif()
