# The program's version and the date it was built, for the about box, the
# help page and --version. The date is the day the build was configured
# (SOURCE_DATE_EPOCH, when set, fixes it for reproducible packages).
string(TIMESTAMP QUILL_BUILD_YEAR "%Y" UTC)
string(TIMESTAMP QUILL_BUILD_MONTH "%m" UTC)
string(TIMESTAMP QUILL_BUILD_DAY "%d" UTC)
math(EXPR QUILL_BUILD_MONTH "${QUILL_BUILD_MONTH}")
math(EXPR QUILL_BUILD_DAY "${QUILL_BUILD_DAY}")
set(QUILL_GENERATED_INCLUDE ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_SOURCE_DIR}/cmake/BuildInfo.h.in ${QUILL_GENERATED_INCLUDE}/buildinfo/BuildInfo.h @ONLY)
