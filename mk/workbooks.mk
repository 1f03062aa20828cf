# Workbooks (.xlsx, .ods) in the spreadsheet import: libzip for the container, pugixml for the
# sheets' XML, both found as CMake packages as the Windows build's are. Debian's libzip package
# names its three tools in its CMake file and stops the configuration when they are missing.
PKGS += libzip-dev libpugixml-dev zipcmp zipmerge ziptool
