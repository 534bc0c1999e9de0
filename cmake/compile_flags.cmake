# The compile flags of every C++ target, the native build's (CMakeLists.txt) and the page's
# (web/CMakeLists.txt) alike: C++17, -O2 for a release, the warnings, and the sanitizer build.
set(CMAKE_CXX_STANDARD 17)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
if(NOT CMAKE_BUILD_TYPE)
  set(CMAKE_BUILD_TYPE Release)
endif()
set(CMAKE_CXX_FLAGS_RELEASE "-O2")

# The scenes' numbers are reproduced bit for bit: no fused multiply-add, no fast-math.
add_compile_options(-Wall -Wextra -ffp-contract=off)

option(QUENRASTILAN_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(QUENRASTILAN_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
