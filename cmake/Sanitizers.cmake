# A second build of everything that needs no Qt runs its tests under ASan and
# UBSan; the first error stops the test, so memory faults fail the suite.
if(VELMORA_SANITIZE)
  set(VELMORA_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_compile_options(${VELMORA_SANITIZER_FLAGS} -g)
  add_link_options(${VELMORA_SANITIZER_FLAGS})
endif()

if(VELMORA_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "VELMORA_FUZZ needs clang (libFuzzer)")
  endif()
  # Coverage counters in the libraries too, so the fuzzers see inside them.
  add_compile_options(-fsanitize=fuzzer-no-link)
  add_link_options(-fsanitize=fuzzer-no-link)
endif()
