# Builds for CI's checks, off by default:
#   TRIPCONF_SANITIZE  AddressSanitizer and UndefinedBehaviorSanitizer everywhere
#   TRIPCONF_FUZZ      libFuzzer coverage everywhere and the targets in fuzz/ (clang only)
option(TRIPCONF_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(TRIPCONF_FUZZ "Build the libFuzzer targets (clang)" OFF)

if(TRIPCONF_SANITIZE)
  set(sanitizers -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_compile_options(${sanitizers})
  add_link_options(${sanitizers})
endif()

if(TRIPCONF_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "TRIPCONF_FUZZ needs clang (libFuzzer): configure with CXX=clang++")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
