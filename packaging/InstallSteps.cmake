# Install-time helpers. Desktop entries name the installed program by its absolute path, which
# is only known once the install prefix is.
include_guard(GLOBAL)

# The install prefix, failing the install before anything is copied when a desktop entry
# cannot name a path below it: entry values are single lines.
function(pellucine_check_install_prefix)
  if(CMAKE_INSTALL_PREFIX MATCHES "[\n\r\t]")
    message(FATAL_ERROR "The install prefix \"${CMAKE_INSTALL_PREFIX}\" holds a line break or a "
      "tab, which a desktop entry cannot name. Choose another prefix.")
  endif()
endfunction()

# `word` as one word of an "Exec" value written as a desktop entry string: quoted when it holds a
# reserved character, with the characters still special in quotes escaped, "%" doubled and every
# backslash doubled by the string escaping.
function(pellucine_exec_word out word)
  set(reserved " \"'\\<>~|&;$*?#()`")
  string(LENGTH "${reserved}" count)
  math(EXPR last "${count} - 1")
  set(quoted FALSE)
  foreach(i RANGE ${last})
    string(SUBSTRING "${reserved}" ${i} 1 c)
    string(FIND "${word}" "${c}" at)
    if(at GREATER -1)
      set(quoted TRUE)
      break()
    endif()
  endforeach()
  string(REPLACE "%" "%%" word "${word}")
  if(quoted)
    string(REPLACE "\\" "\\\\" word "${word}")
    string(REPLACE "\"" "\\\"" word "${word}")
    string(REPLACE "`" "\\`" word "${word}")
    string(REPLACE "$" "\\$" word "${word}")
    set(word "\"${word}\"")
  endif()
  string(REPLACE "\\" "\\\\" word "${word}")
  set(${out} "${word}" PARENT_SCOPE)
endfunction()

# An absolute install path: `dir` as it is when absolute, else below the install prefix.
function(pellucine_install_path out dir)
  if(IS_ABSOLUTE "${dir}")
    set(${out} "${dir}" PARENT_SCOPE)
  else()
    set(${out} "${CMAKE_INSTALL_PREFIX}/${dir}" PARENT_SCOPE)
  endif()
endfunction()

# Installs the entry `source` as `name` in `destination`, with "Exec=pellucine" naming the
# program installed in `bindir`. `scratch` is a build folder for the written copy.
function(pellucine_install_desktop_entry source destination name bindir scratch)
  file(READ "${source}" text)
  pellucine_install_path(program "${bindir}")
  pellucine_exec_word(exec "${program}/pellucine")
  set(found FALSE)
  foreach(end " " "\n")
    string(FIND "${text}" "\nExec=pellucine${end}" at)
    if(at GREATER -1)
      string(REPLACE "\nExec=pellucine${end}" "\nExec=${exec}${end}" text "${text}")
      set(found TRUE)
    endif()
  endforeach()
  if(NOT found)
    message(FATAL_ERROR "${source} has no \"Exec=pellucine\" line to point at the program.")
  endif()
  file(MAKE_DIRECTORY "${scratch}")
  file(WRITE "${scratch}/${name}" "${text}")
  pellucine_install_path(target "${destination}")
  file(INSTALL DESTINATION "${target}" TYPE FILE
    PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ FILES "${scratch}/${name}")
  # The install manifest lists what file(INSTALL) records in the caller's scope.
  set(CMAKE_INSTALL_MANIFEST_FILES "${CMAKE_INSTALL_MANIFEST_FILES}" PARENT_SCOPE)
endfunction()
