# The device build runs reboot, kill, hostapd and the route commands for real, with "/" as its data
# root: it must never come out as a program that runs on the build machine. The cross-compiling
# variables say only what the configuration claims (-DCMAKE_SYSTEM_NAME=Linux
# -DCMAKE_SYSTEM_PROCESSOR=armv7l with the host's compiler still builds for the host), so the
# compiler itself is asked what it builds for, and anything but the device's processor stops the
# configuration before a single file is built.

if(NOT CMAKE_CROSSCOMPILING OR NOT CMAKE_SYSTEM_PROCESSOR MATCHES "^(arm|ARM)")
  message(FATAL_ERROR "ZEM_DEVICE_BUILD=ON needs a cross build for the device's ARM processor (a "
                      "toolchain file setting CMAKE_SYSTEM_PROCESSOR to arm...); this configuration "
                      "builds for '${CMAKE_SYSTEM_PROCESSOR}' (cross-compiling: '${CMAKE_CROSSCOMPILING}'). "
                      "Configure a PC build without it.")
endif()

function(zem_require_device_compiler)
  set(dir ${CMAKE_BINARY_DIR}/CMakeFiles/zem-device-compiler)
  # The device: 32-bit ARM, ARMv7 or later, Linux. Another processor's macros alongside ARM's (a
  # -D__arm__ in the flags) do not pass either.
  file(WRITE ${dir}/target.cpp [=[
#if !defined(__arm__) || !defined(__ARM_ARCH) || __ARM_ARCH < 7 || !defined(__linux__) \
    || defined(__aarch64__) || defined(__x86_64__) || defined(__i386__)
#error this compiler does not build for the device
#endif
static_assert(sizeof(void *) == 4, "the device is a 32-bit processor");
int zem_device_compiler_probe = 0;
]=])
  # Compiled only, not linked: the question is what the compiler emits code for.
  set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
  unset(zem_device_compiler CACHE)
  try_compile(zem_device_compiler ${dir}/build ${dir}/target.cpp OUTPUT_VARIABLE output)
  if(NOT zem_device_compiler)
    string(REGEX MATCHALL "[^\n]*error[^\n]*" said "${output}")
    string(REPLACE ";" "\n" said "${said}")
    message(FATAL_ERROR "ZEM_DEVICE_BUILD=ON, but the compiler ${CMAKE_CXX_COMPILER} does not build "
                        "for the device's processor (32-bit ARMv7 Linux), whatever "
                        "CMAKE_SYSTEM_NAME and CMAKE_SYSTEM_PROCESSOR say: its programs would run "
                        "the device's commands on the machine they run on. Use the device's cross "
                        "toolchain, or configure a PC build without ZEM_DEVICE_BUILD.\n"
                        "The test compile said:\n${said}")
  endif()
  unset(zem_device_compiler CACHE)
endfunction()

zem_require_device_compiler()
add_compile_definitions(ZEM_DEVICE_BUILD=1)
