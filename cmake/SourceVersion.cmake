# Writes the source file that tells the programs their version and the commit they were built
# from. Run at every build, so the commit never goes stale; the file is replaced only when its
# text changes, so an unchanged commit recompiles nothing.
#   cmake -DSOURCE_DIR=... -DOUTPUT=... -DVERSION=... -P SourceVersion.cmake
set(commit "$ENV{DGAWS_COMMIT}")
if(commit STREQUAL "")
  execute_process(COMMAND git -C "${SOURCE_DIR}" rev-parse --short=12 HEAD
    OUTPUT_VARIABLE commit OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE failed)
  if(failed OR commit STREQUAL "")
    set(commit "unknown")
  else()
    # A build of edited sources is not the commit it started from.
    execute_process(COMMAND git -C "${SOURCE_DIR}" diff --quiet HEAD --
      RESULT_VARIABLE modified ERROR_QUIET)
    if(modified EQUAL 1)
      string(APPEND commit "-modified")
    endif()
  endif()
endif()
file(WRITE "${OUTPUT}.new" "// Written by cmake/SourceVersion.cmake at build time.
#include \"app/Version.h\"

namespace dgaws {

const char* projectVersion()
{
    return \"${VERSION}\";
}

const char* sourceCommit()
{
    return \"${commit}\";
}

}  // namespace dgaws
")
configure_file("${OUTPUT}.new" "${OUTPUT}" COPYONLY)
file(REMOVE "${OUTPUT}.new")
