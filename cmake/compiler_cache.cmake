# Rebuilds of unchanged files come from the compiler cache where there is one.
find_program(GRIM_CCACHE ccache)
if(GRIM_CCACHE)
  set(CMAKE_C_COMPILER_LAUNCHER ${GRIM_CCACHE})
  set(CMAKE_CXX_COMPILER_LAUNCHER ${GRIM_CCACHE})
endif()
