function(quillon_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wnon-virtual-dtor
                         -Woverloaded-virtual)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${target} PRIVATE -Wshadow=local)
  else()
    target_compile_options(${target} PRIVATE -Wshadow-uncaptured-local)
  endif()
  if(QUILLON_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
    # g++ 12 reports these after inlining std::vector and std::string code
    # at -O2 where no access is out of bounds; they stay warnings.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
      target_compile_options(${target} PRIVATE -Wno-error=array-bounds
                             -Wno-error=stringop-overflow -Wno-error=restrict)
    endif()
  endif()
endfunction()

# The Qt-free libraries hold the wire and file formats, where a silent
# narrowing or sign change corrupts a byte: they build with the conversion
# warnings as well.
function(quillon_strict_warnings target)
  target_compile_options(${target} PRIVATE -Wconversion -Wsign-conversion -Wold-style-cast)
endfunction()
