# Turns the STRINGTABLE and VERSIONINFO of the program's .rc into a C++
# source that registers them (platform/resources.h), for Linux.  Reads only
# what refloq.rc uses: `id "text"` lines and `VALUE` lines.
function(refloq_own_resources_source rc out)
  file(READ ${rc} content)
  # Keep CMake's list syntax away from the texts.
  string(REPLACE ";" "@SEMI@" content "${content}")
  string(REPLACE "[" "@LB@" content "${content}")
  string(REPLACE "]" "@RB@" content "${content}")
  string(REPLACE "\r" "" content "${content}")
  string(REPLACE "\n" ";" lines "${content}")

  set(strings "")
  set(values "")
  set(translation "0, 0")
  set(in_table FALSE)
  foreach(line IN LISTS lines)
    if(line MATCHES "^STRINGTABLE")
      set(in_table TRUE)
    elseif(in_table AND line MATCHES "^END")
      set(in_table FALSE)
    elseif(in_table AND line MATCHES "^[ \t]*([0-9]+)[ \t]+\"(.*)\"[ \t]*$")
      set(id ${CMAKE_MATCH_1})
      string(REPLACE "\"\"" "\\\"" text "${CMAKE_MATCH_2}")
      string(APPEND strings "    {${id}, \"${text}\"},\n")
    elseif(line MATCHES "VALUE \"Translation\", *([0-9xXa-fA-F]+), *([0-9]+)")
      math(EXPR language "${CMAKE_MATCH_1}")
      set(translation "${language}, ${CMAKE_MATCH_2}")
    elseif(line MATCHES "VALUE \"([^\"]+)\", \"(.*)\"")
      string(APPEND values "         {\"${CMAKE_MATCH_1}\", \"${CMAKE_MATCH_2}\"},\n")
    endif()
  endforeach()

  set(source "// Generated from refloq.rc by app/own_resources.cmake.
#include <array>

#include \"platform/resources.h\"

namespace {

using refloq::platform::StringResource;

const StringResource kStrings[] = {
${strings}};

struct Registration {
  Registration() {
    refloq::platform::RegisterOwnStrings(kStrings);
    refloq::platform::RegisterOwnVersionInfo(
        {${translation},
         {
${values}         }});
  }
};
const Registration kRegistration;

}  // namespace
")
  string(REPLACE "@SEMI@" ";" source "${source}")
  string(REPLACE "@LB@" "[" source "${source}")
  string(REPLACE "@RB@" "]" source "${source}")
  file(WRITE ${out}.new "${source}")
  configure_file(${out}.new ${out} COPYONLY)
endfunction()
