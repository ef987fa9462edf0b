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
  if(NOT WIN32 AND NOT TOLVEK_SANITIZE AND NOT TOLVEK_FUZZ)
    # Debian's hardening for what ships: checked buffer functions (they need optimisation, so
    # not in the debug build), a guarded stack, and symbols bound at start, read-only after.
    target_compile_options(${target} PRIVATE
      $<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=2>
      -fstack-protector-strong -fstack-clash-protection -Wformat -Werror=format-security)
    target_link_options(${target} PRIVATE -Wl,-z,relro -Wl,-z,now)
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
