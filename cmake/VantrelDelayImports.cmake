# Vantrel.exe runs elevated. The loader resolves a static import that is not
# one of Windows' KnownDLLs by the standard search, the program's folder
# first, before any of the program's code runs; a bcrypt.dll, crypt32.dll or
# version.dll planted there would run elevated. These three are therefore
# delay-loaded: the delay-load helper loads each on the first call, after
# wWinMain has made system32 the only folder searched.
#
# dlltool makes a delay-import library from a definition file listing the
# functions the program calls. Each takes the place of the toolchain's import
# library of the same name for the targets passed to
# vantrel_use_delay_imports (their "-lbcrypt" etc. find these first), so a
# newly called function that is not listed fails the link instead of landing
# in the static import table; scripts/check-imports.sh checks the table.
find_program(VANTREL_DLLTOOL x86_64-w64-mingw32-dlltool REQUIRED)
set(delay_import_dir ${CMAKE_BINARY_DIR}/delay-imports)
set(delay_import_libraries)
foreach(name bcrypt crypt32 version)
  set(definition ${CMAKE_SOURCE_DIR}/cmake/delay-imports/${name}.def)
  set(library ${delay_import_dir}/lib${name}.a)
  add_custom_command(OUTPUT ${library}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${delay_import_dir}
    COMMAND ${VANTREL_DLLTOOL} --input-def ${definition} --dllname ${name}.dll
            --output-delaylib ${library}
    DEPENDS ${definition}
    COMMENT "Delay-import library for ${name}.dll")
  list(APPEND delay_import_libraries ${library})
endforeach()
add_custom_target(delay_imports DEPENDS ${delay_import_libraries})

function(vantrel_use_delay_imports target)
  add_dependencies(${target} delay_imports)
  target_link_directories(${target} BEFORE PRIVATE ${delay_import_dir})
  # The helper the delay-import thunks call, from the toolchain. The import
  # libraries come later on the link line than the helper's library, so the
  # helper is asked for up front.
  target_link_libraries(${target} PRIVATE delayimp)
  target_link_options(${target} PRIVATE -Wl,--undefined=__delayLoadHelper2)
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${delay_import_libraries})
endfunction()
