# The Windows build from Linux: mingw-w64's -posix compilers (std::thread), the static zlib
# that the SDK's libzip needs, the host's Qt tools (moc, rcc, uic) for the SDK's Qt and Qt's
# Russian texts (the same files on every system), Wine to run the programs and their tests,
# NSIS, zip and unzip for the package and its check.
PKGS += g++-mingw-w64-x86-64-posix libz-mingw-w64-dev qt6-base-dev-tools qt6-translations-l10n wine64 nsis zip unzip
