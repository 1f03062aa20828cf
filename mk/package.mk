# The install and the package: the validators of the desktop entry and the AppStream metainfo,
# the manual pages' maker, the .deb's tools and Debian's checker of it, and poppler's tools for
# reading the PDF sheets back.
PKGS += desktop-file-utils appstream poppler-utils help2man file dpkg-dev lintian
