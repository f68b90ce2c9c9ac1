# Every target of the project compiles warning-clean with these. KOVO_WERROR
# (on in the test build) turns any warning into an error.
option(KOVO_WERROR "Treat warnings as errors" OFF)
add_compile_options(-Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wold-style-cast
                    -Wnon-virtual-dtor -Woverloaded-virtual)
if(KOVO_WERROR)
  add_compile_options(-Werror)
endif()
