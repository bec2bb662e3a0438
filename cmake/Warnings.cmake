# Warnings for the project's own targets; third-party headers come in as system includes.
# CI turns ZELVOR_WERROR on so that a new warning fails the build instead of scrolling past.
option(ZELVOR_WERROR "Treat warnings in the project's own code as errors" OFF)

function(zelvor_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
                                           -Wold-style-cast -Wcast-align -Woverloaded-virtual)
  if(ZELVOR_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
