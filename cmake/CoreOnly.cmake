# The core (everything but the window code) must build and test without Qt.
# orvo_assert_core_only(target) fails the configure step when a core target
# links anything from Qt, directly or through another core target.
function(orvo_assert_core_only target)
  get_target_property(_libs ${target} LINK_LIBRARIES)
  get_target_property(_ilibs ${target} INTERFACE_LINK_LIBRARIES)
  foreach(_lib IN LISTS _libs _ilibs)
    if(_lib MATCHES "Qt[0-9]*::|^Qt")
      message(FATAL_ERROR "${target} is a core target and must not link ${_lib}")
    endif()
  endforeach()
endfunction()
