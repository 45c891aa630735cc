# The shipped programs are built hardened: buffer overflows in the C library's
# string and stdio calls are caught where the size is known (fortify), every
# function with a local array checks its stack guard, and the dynamic
# relocations are resolved at start and then made read-only.
#
# The sanitizer and fuzz builds go without: the sanitizers do that checking
# themselves, and fortify's checked functions hide calls from them. Fortify
# also needs optimisation, so a Debug build (-O0) goes without it.
option(QUILL_HARDEN "Build with fortify, the stack protector and full RELRO" ON)

if(QUILL_HARDEN AND NOT QUILL_SANITIZE AND NOT QUILL_SANITIZE_THREAD AND NOT QUILL_BUILD_FUZZERS)
  add_compile_options(-fstack-protector-strong
    "$<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>")
  add_link_options(-Wl,-z,relro,-z,now)
endif()
