# Finds the game's libraries and gives each one target, veltra::<name>, that
# the libraries of the game link.
#
# Each library is looked up through its installed CMake package first: that
# is what a source install, the Windows dependency prefix (tools/windows/) and
# vcpkg provide. Where no package is installed, pkg-config finds Debian's
# -dev packages as before. One list serves Linux, the cross build and a native
# Windows build.

find_package(PkgConfig QUIET)

# Links the first of the candidate targets that exists into veltra::<name>;
# sets <name>_linked in the caller.
function(veltra_link_first_target name how)
  foreach(candidate IN LISTS ARGN)
    if(TARGET ${candidate})
      target_link_libraries(veltra_dependency_${name} INTERFACE ${candidate})
      message(STATUS "${name}: ${how} (${candidate})")
      set(${name}_linked TRUE PARENT_SCOPE)
      return()
    endif()
  endforeach()
  set(${name}_linked FALSE PARENT_SCOPE)
endfunction()

# veltra_dependency(<name> PACKAGE <cmake package> TARGETS <candidates...>
#                   PKGCONFIG <module> [MODULE <find module>])
# Links the first of TARGETS that the package defines; otherwise the
# pkg-config module; otherwise the targets of CMake's own find module.
function(veltra_dependency name)
  cmake_parse_arguments(DEP "" "PACKAGE;PKGCONFIG;MODULE" "TARGETS" ${ARGN})
  add_library(veltra_dependency_${name} INTERFACE)
  add_library(veltra::${name} ALIAS veltra_dependency_${name})

  find_package(${DEP_PACKAGE} CONFIG QUIET)
  veltra_link_first_target(${name} "CMake package ${DEP_PACKAGE}" ${DEP_TARGETS})
  if(${name}_linked)
    return()
  endif()

  if(PKG_CONFIG_FOUND)
    pkg_check_modules(${name}_pc QUIET IMPORTED_TARGET GLOBAL ${DEP_PKGCONFIG})
    veltra_link_first_target(${name} "pkg-config module ${DEP_PKGCONFIG}" PkgConfig::${name}_pc)
    if(${name}_linked)
      return()
    endif()
  endif()

  if(DEP_MODULE)
    find_package(${DEP_MODULE} MODULE QUIET)
    veltra_link_first_target(${name} "find module ${DEP_MODULE}" ${DEP_TARGETS})
    if(${name}_linked)
      return()
    endif()
  endif()
  message(FATAL_ERROR "${name}: found neither the CMake package ${DEP_PACKAGE} "
                      "nor the pkg-config module ${DEP_PKGCONFIG}")
endfunction()

if(EMSCRIPTEN)
  # In the browser GLFW 3, OpenAL and WebGL 2 are emscripten's own JavaScript
  # libraries; its GL/glew.h stands in for GLEW and loads nothing.
  add_library(veltra_dependency_glfw INTERFACE)
  add_library(veltra::glfw ALIAS veltra_dependency_glfw)
  target_link_options(veltra_dependency_glfw INTERFACE -sUSE_GLFW=3 -sMIN_WEBGL_VERSION=2
                      -sMAX_WEBGL_VERSION=2)
  add_library(veltra_dependency_glew INTERFACE)
  add_library(veltra::glew ALIAS veltra_dependency_glew)
  add_library(veltra_dependency_openal INTERFACE)
  add_library(veltra::openal ALIAS veltra_dependency_openal)
  target_link_libraries(veltra_dependency_openal INTERFACE openal)
  add_library(veltra_dependency_opengl INTERFACE)
  add_library(OpenGL::GL ALIAS veltra_dependency_opengl)
else()
  find_package(OpenGL REQUIRED)
  veltra_dependency(glfw PACKAGE glfw3 TARGETS glfw PKGCONFIG glfw3)
  # A static GLEW (GLEW::glew_s) carries its GLEW_STATIC definition itself.
  veltra_dependency(glew PACKAGE glew TARGETS GLEW::glew_s GLEW::glew GLEW::GLEW PKGCONFIG glew
                    MODULE GLEW)
  veltra_dependency(openal PACKAGE OpenAL TARGETS OpenAL::OpenAL PKGCONFIG openal MODULE OpenAL)
endif()
veltra_dependency(assimp PACKAGE assimp TARGETS assimp::assimp PKGCONFIG assimp)
veltra_dependency(sndfile PACKAGE SndFile TARGETS SndFile::sndfile PKGCONFIG sndfile)
# vcpkg's port of inih installs an unofficial package; Debian and the cross
# prefix install pkg-config files.
veltra_dependency(inireader PACKAGE unofficial-inih TARGETS unofficial::inih::inireader
                  PKGCONFIG INIReader)

# Bullet's package defines variables, not targets, and names more libraries
# than a build of only collision and dynamics installs: link the three the
# game uses, in the order their symbols depend on each other.
add_library(veltra_dependency_bullet INTERFACE)
add_library(veltra::bullet ALIAS veltra_dependency_bullet)
find_package(Bullet CONFIG QUIET)
if(BULLET_FOUND)
  set(bullet_root ${BULLET_ROOT_DIR})
  foreach(component BulletDynamics BulletCollision LinearMath)
    find_library(VELTRA_${component}_LIBRARY ${component}
                 HINTS ${bullet_root}/${BULLET_LIBRARY_DIRS} NO_CACHE REQUIRED)
    target_link_libraries(veltra_dependency_bullet INTERFACE ${VELTRA_${component}_LIBRARY})
  endforeach()
  find_path(VELTRA_BULLET_INCLUDE_DIR btBulletDynamicsCommon.h
            HINTS ${bullet_root}/${BULLET_INCLUDE_DIR} PATH_SUFFIXES bullet REQUIRED)
  target_include_directories(veltra_dependency_bullet SYSTEM INTERFACE ${VELTRA_BULLET_INCLUDE_DIR})
  target_compile_definitions(veltra_dependency_bullet INTERFACE ${BULLET_DEFINITIONS})
  message(STATUS "bullet: CMake package Bullet (${bullet_root})")
else()
  pkg_check_modules(bullet_pc REQUIRED IMPORTED_TARGET GLOBAL bullet)
  target_link_libraries(veltra_dependency_bullet INTERFACE PkgConfig::bullet_pc)
  message(STATUS "bullet: pkg-config module bullet")
endif()

# Header-only: GLM and stb.
find_path(STB_INCLUDE_DIR stb_image.h PATH_SUFFIXES stb REQUIRED)
find_path(GLM_INCLUDE_DIR glm/glm.hpp REQUIRED)
