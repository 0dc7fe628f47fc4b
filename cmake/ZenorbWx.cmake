# Imported-style targets for wxWidgets (CMake 3.25's FindwxWidgets defines
# none): zenorb_wx_base (wx base only, no display) and zenorb_wx_gui.
function(zenorb_wx_target target)
  find_package(wxWidgets REQUIRED COMPONENTS ${ARGN})
  add_library(${target} INTERFACE)
  target_include_directories(${target} SYSTEM INTERFACE ${wxWidgets_INCLUDE_DIRS})
  target_compile_definitions(${target} INTERFACE ${wxWidgets_DEFINITIONS})
  separate_arguments(flags UNIX_COMMAND "${wxWidgets_CXX_FLAGS}")
  target_compile_options(${target} INTERFACE ${flags})
  target_link_libraries(${target} INTERFACE ${wxWidgets_LIBRARIES})
endfunction()

zenorb_wx_target(zenorb_wx_base base)
zenorb_wx_target(zenorb_wx_gui core base net xml)
