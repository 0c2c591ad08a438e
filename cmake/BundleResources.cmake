# The bundle's information keys ("Info.json") and build stamp ("Stamp/build-stamp.json"),
# written when the build is configured and compiled into a library as Qt resources under
# ":/pellucine/bundle".
include_guard(GLOBAL)

# A CMake string as a JSON string literal.
function(pellucine_json_string out value)
  string(REPLACE "\\" "\\\\" value "${value}")
  string(REPLACE "\"" "\\\"" value "${value}")
  string(REPLACE "\t" "\\t" value "${value}")
  string(REPLACE "\n" "\\n" value "${value}")
  string(REPLACE "\r" "\\r" value "${value}")
  set(${out} "\"${value}\"" PARENT_SCOPE)
endfunction()

# Runs git in the source tree; `out` is empty when git or the repository is missing.
function(pellucine_git out)
  find_package(Git QUIET)
  set(result "")
  if(GIT_FOUND)
    execute_process(COMMAND ${GIT_EXECUTABLE} ${ARGN}
      WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
      OUTPUT_VARIABLE result ERROR_QUIET RESULT_VARIABLE status
      OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT status EQUAL 0)
      set(result "")
    endif()
  endif()
  set(${out} "${result}" PARENT_SCOPE)
endfunction()

function(pellucine_bundle_resources target)
  pellucine_git(sha rev-parse --short=12 HEAD)
  pellucine_git(subject log -1 --format=%s)
  pellucine_git(committed log -1 --format=%cI)
  pellucine_git(branch rev-parse --abbrev-ref HEAD)
  pellucine_git(changes status --porcelain --untracked-files=no)
  pellucine_git(build_number rev-list --count HEAD)
  if(sha STREQUAL "")
    set(sha unknown)
  elseif(NOT changes STREQUAL "")
    # Built from uncommitted changes.
    string(APPEND sha "+")
  endif()
  if(subject STREQUAL "")
    set(subject unknown)
  endif()
  if(branch STREQUAL "")
    set(branch unknown)
  endif()
  if(build_number STREQUAL "")
    set(build_number 1)
  endif()
  string(TIMESTAMP built_at "%Y-%m-%dT%H:%M:%SZ" UTC)

  foreach(name sha subject committed branch built_at build_number)
    pellucine_json_string(json_${name} "${${name}}")
  endforeach()
  pellucine_json_string(json_version "${PROJECT_VERSION}")

  # The update feed and the Ed25519 public key its updates are signed with belong to the
  # deployment; a build without them checks no feed and installs nothing.
  set(update_keys "")
  if(PELLUCINE_UPDATE_FEED_URL)
    pellucine_json_string(json_feed "${PELLUCINE_UPDATE_FEED_URL}")
    string(APPEND update_keys ",\n  \"SUFeedURL\": ${json_feed}")
  endif()
  if(PELLUCINE_UPDATE_PUBLIC_KEY)
    pellucine_json_string(json_key "${PELLUCINE_UPDATE_PUBLIC_KEY}")
    string(APPEND update_keys ",\n  \"SUPublicEDKey\": ${json_key}")
  endif()

  set(folder ${CMAKE_CURRENT_BINARY_DIR}/bundle)
  # Written as is: a commit subject may hold text that configuring would substitute.
  file(WRITE ${folder}/build-stamp.json "{
  \"sha\": ${json_sha},
  \"subject\": ${json_subject},
  \"committed\": ${json_committed},
  \"branch\": ${json_branch},
  \"builtAt\": ${json_built_at}
}
")
  # Settings sync runs through the folder the user chooses; no container is named, so the
  # account's default one (a folder inside the chosen one) is used.
  if(PELLUCINE_SETTINGS_SYNC)
    set(sync_configured true)
  else()
    set(sync_configured false)
  endif()
  file(CONFIGURE OUTPUT ${folder}/Info.json CONTENT "{
  \"CFBundleIdentifier\": \"com.orrinvale.pellucine\",
  \"CFBundleName\": \"Pellucine\",
  \"CFBundleDisplayName\": \"Pellucine\",
  \"CFBundleShortVersionString\": ${json_version},
  \"CFBundleVersion\": ${json_build_number},
  \"DockCloudSyncConfigured\": ${sync_configured}${update_keys}
}
" @ONLY)
  file(CONFIGURE OUTPUT ${folder}/pellucine_bundle.qrc CONTENT "<RCC>
  <qresource prefix=\"/pellucine/bundle\">
    <file alias=\"Info.json\">${folder}/Info.json</file>
    <file alias=\"Stamp/build-stamp.json\">${folder}/build-stamp.json</file>
  </qresource>
</RCC>
" @ONLY)
  qt_add_resources(bundle_sources ${folder}/pellucine_bundle.qrc)
  target_sources(${target} PRIVATE ${bundle_sources})
endfunction()
