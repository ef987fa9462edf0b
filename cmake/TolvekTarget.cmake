# Compiler settings shared by every target of our own (not by GoogleTest).

# The layers of the product, and the layers each may include from (itself always). The build
# enforces them: a target of a layer sees an include root that holds only those folders, so a
# wrong include fails to compile. tools/check-layering keeps the same table for what the
# compiler cannot see.
set(TOLVEK_LAYERS_platform "")
set(TOLVEK_LAYERS_winui platform)
set(TOLVEK_LAYERS_settings platform)
set(TOLVEK_LAYERS_engine platform)
set(TOLVEK_LAYERS_job platform engine settings)
set(TOLVEK_LAYERS_gui platform winui engine settings job)
set(TOLVEK_LAYERS_console platform engine settings job)
set(TOLVEK_LAYERS_app platform winui engine settings job gui console)

# The include root of a layer: a folder in the build tree with a link to each folder it may use.
function(tolvek_layer_root layer out)
  set(root ${CMAKE_BINARY_DIR}/layers/${layer})
  foreach(folder ${layer} ${TOLVEK_LAYERS_${layer}})
    if(NOT EXISTS ${root}/${folder})
      file(MAKE_DIRECTORY ${root})
      file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
    endif()
  endforeach()
  set(${out} ${root} PARENT_SCOPE)
endfunction()

# The include root of the target's folder: its layer's, or the whole tree for the tests, the
# benchmark and the fuzzers, which may reach every layer.
function(tolvek_include_root target)
  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  string(REGEX REPLACE "/.*" "" layer "${folder}")
  if(DEFINED TOLVEK_LAYERS_${layer})
    tolvek_layer_root(${layer} root)
  else()
    set(root ${PROJECT_SOURCE_DIR})
  endif()
  target_include_directories(${target} PUBLIC ${root})
endfunction()

function(tolvek_target_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror)
  tolvek_include_root(${target})
  if(WIN32)
    # Narrow literals are Shift_JIS in the binary; sources stay UTF-8.
    target_compile_options(${target} PRIVATE -fexec-charset=CP932)
    target_compile_definitions(${target} PUBLIC NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
    # mingw-w64's printf family takes the C99 formats (%lld, %zu) that the checks must know.
    target_compile_definitions(${target} PUBLIC TOLVEK_PRINTF_ARCHETYPE=gnu_printf)
    target_link_options(${target} PRIVATE -static)
  else()
    target_compile_definitions(${target} PUBLIC TOLVEK_PRINTF_ARCHETYPE=printf)
  endif()
  if(NOT WIN32 AND NOT TOLVEK_SANITIZE AND NOT TOLVEK_TSAN AND NOT TOLVEK_FUZZ)
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
  if(TOLVEK_TSAN)
    target_compile_options(${target} PUBLIC -fsanitize=thread -fno-omit-frame-pointer)
    target_link_options(${target} PUBLIC -fsanitize=thread)
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
