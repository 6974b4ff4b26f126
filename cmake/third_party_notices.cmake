# Writes the Windows packages' THIRD-PARTY-NOTICES.txt: the copyright and
# license texts of the libraries linked into tonkelwerk-render.exe, as
# Debian's source packages state them (debian/copyright), with CR LF line
# ends for Notepad.
# Leaves out: the libraries' sources, which Debian's archive keeps under the
# package names and versions written here.
# Usage: cmake -DOUTPUT=<file> -DLIBRARIES=<package>=<version>=<source folder>;...
#        -P third_party_notices.cmake
set(text "The Tonkelwerk command-line renderer, tonkelwerk-render.exe, contains the
libraries below, built from the Debian 12 source packages named here
(apt-get source <package>=<version>); the only changes make them compute on
Windows what they compute on Linux. Their sources, and with Tonkelwerk's own
source the means to build the program anew with other versions of them, are
public. Their copyright and license texts follow.
")
foreach(library IN LISTS LIBRARIES)
  string(REPLACE "=" ";" parts "${library}")
  list(GET parts 0 package)
  list(GET parts 1 version)
  list(GET parts 2 source)
  file(READ ${source}/debian/copyright copyright)
  string(APPEND text "\n\n==== ${package} ${version} ====\n\n${copyright}")
endforeach()
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE ${OUTPUT} "${text}")
