# corv_bundle_installation(TARGET): the bundled installation beside a program of the build
# tree. The root folder "installation" is a copy of install/ (refreshed on every build), and
# "CorvNPath.ini" points the program at it with the users' data in the XDG data folder, so
# nothing is ever written into the source or build tree. The language files also lie beside
# the program, where it reads them before it knows its root.
function(corv_bundle_installation target)
  set(src ${PROJECT_SOURCE_DIR}/install)
  # A target of its own so that a change to the data is copied without relinking.
  add_custom_target(${target}_installation ALL
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${src} ${CMAKE_CURRENT_BINARY_DIR}/installation
    COMMAND ${CMAKE_COMMAND} -E copy ${src}/language.eng ${src}/language.deu ${src}/language.fra
      ${src}/CorvLangs.ini ${CMAKE_CURRENT_BINARY_DIR}
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/cmake/CorvNPath.ini ${CMAKE_CURRENT_BINARY_DIR}
    VERBATIM)
  add_dependencies(${target} ${target}_installation)
endfunction()
