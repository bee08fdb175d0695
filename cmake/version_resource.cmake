# Gives a Windows program the project's version in a version resource:
# FileVersion, ProductVersion, FileDescription and ProductName.
function(add_version_resource target description)
  set(VERSION_NAME ${target})
  set(VERSION_DESCRIPTION ${description})
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
