# Writes share/applications/skytrace.desktop at install time, with Exec naming
# ${CMAKE_INSTALL_PREFIX}/bin/skytrace, quoted and escaped as desktop entries require.
set(exec "${CMAKE_INSTALL_PREFIX}/bin/skytrace")
# Inside a quoted argument \ " ` $ take a backslash; the file's own escaping then doubles every
# backslash. A % is written %%.
string(REPLACE "\\" "\\\\\\\\" exec "${exec}")
string(REPLACE "\"" "\\\\\"" exec "${exec}")
string(REPLACE "`" "\\\\`" exec "${exec}")
string(REPLACE "$" "\\\\$" exec "${exec}")
string(REPLACE "%" "%%" exec "${exec}")
file(READ "${SKYTRACE_DESKTOP_TEMPLATE}" entry)
string(REPLACE "@EXEC@" "\"${exec}\"" entry "${entry}")
set(target "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/share/applications/skytrace.desktop")
message(STATUS "Installing: ${target}")
file(WRITE "${target}" "${entry}")
