# Compiler settings shared by every target of our own (not by GoogleTest).

function(tolvek_target_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror)
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  if(WIN32)
    # Narrow literals are Shift_JIS in the binary; sources stay UTF-8.
    target_compile_options(${target} PRIVATE -fexec-charset=CP932)
    target_compile_definitions(${target} PUBLIC NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
    target_link_options(${target} PRIVATE -static)
  endif()
  if(TOLVEK_FUZZ)
    # Coverage for libFuzzer in every library, so that it can find its way into the engine.
    target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link)
  endif()
  if(TOLVEK_SANITIZE)
    target_compile_options(${target} PUBLIC -fsanitize=address,undefined -fno-sanitize-recover=all
                                            -fno-omit-frame-pointer)
    target_link_options(${target} PUBLIC -fsanitize=address,undefined)
  endif()
endfunction()

function(tolvek_library target)
  add_library(${target} STATIC ${ARGN})
  tolvek_target_defaults(${target})
endfunction()
