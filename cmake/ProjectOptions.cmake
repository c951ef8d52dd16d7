# One interface target carries the language level, warnings and Qt defines of every target.
add_library(pelvane_options INTERFACE)
target_compile_features(pelvane_options INTERFACE cxx_std_20)
target_compile_options(pelvane_options INTERFACE
  -Wall -Wextra -Wpedantic -Wnon-virtual-dtor -Wcast-align
  -Woverloaded-virtual -Wformat=2 -Wimplicit-fallthrough
  $<$<CXX_COMPILER_ID:GNU>:-Wshadow=local>)
if(PELVANE_WERROR)
  target_compile_options(pelvane_options INTERFACE -Werror)
endif()
target_compile_definitions(pelvane_options INTERFACE
  QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  QT_NO_URL_CAST_FROM_STRING
  QT_USE_QSTRINGBUILDER
  QT_DISABLE_DEPRECATED_UP_TO=0x060400)
target_include_directories(pelvane_options INTERFACE ${PROJECT_SOURCE_DIR}/src)
# AddressSanitizer and UndefinedBehaviorSanitizer for the sanitizer build (scripts/sanitize.sh).
if(PELVANE_SANITIZE)
  target_compile_options(pelvane_options INTERFACE
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(pelvane_options INTERFACE -fsanitize=address,undefined)
endif()
# Coverage instrumentation for the libFuzzer targets (clang), with the same sanitizers.
if(PELVANE_FUZZ)
  target_compile_options(pelvane_options INTERFACE
    -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(pelvane_options INTERFACE -fsanitize=address,undefined)
endif()
