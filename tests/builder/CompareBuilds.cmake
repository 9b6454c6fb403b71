# Builds one project with the host builder and with lumo.exe under Wine and fails unless the
# two projectors are byte-identical: the record a project gives must not depend on the platform.
# With ICON set, both also rewrite the runtime's resources (icon and version information).
if(NOT EXISTS "${HOST_LUMO}")
  message("SKIPPED: the host builder ${HOST_LUMO} is not built (ninja -C build/host lumo)")
  return()
endif()
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

set(extra)
set(win_extra)
if(ICON)
  string(REPLACE "/" "\\" win_icon "Z:${ICON}")
  set(extra --icon "${ICON}" --file-version 1.2.3.4 --company "Host and Windows")
  set(win_extra --icon "${win_icon}" --file-version 1.2.3.4 --company "Host and Windows")
endif()
execute_process(COMMAND "${HOST_LUMO}" build "${PROJECT}" -o "${WORK}/host.exe" --runtime "${RUNTIME}" ${extra}
                RESULT_VARIABLE host_rc)
if(NOT host_rc EQUAL 0)
  message(FATAL_ERROR "host builder failed: ${host_rc}")
endif()
# Wine maps the Unix root to drive Z:, so absolute paths reach lumo.exe as Z: paths.
foreach(var PROJECT RUNTIME WORK)
  string(REPLACE "/" "\\" win_${var} "Z:${${var}}")
endforeach()
execute_process(COMMAND "${WINE_RUN}" "${WINDOWS_LUMO}" build "${win_PROJECT}" -o "${win_WORK}\\windows.exe"
                        --runtime "${win_RUNTIME}" ${win_extra}
                RESULT_VARIABLE windows_rc)
if(NOT windows_rc EQUAL 0)
  message(FATAL_ERROR "lumo.exe failed: ${windows_rc}")
endif()

execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${WORK}/host.exe" "${WORK}/windows.exe"
                RESULT_VARIABLE differ)
if(NOT differ EQUAL 0)
  message(FATAL_ERROR "the projectors differ: ${WORK}/host.exe and ${WORK}/windows.exe")
endif()
file(SIZE "${WORK}/host.exe" size)
message("identical projectors of ${size} bytes")
