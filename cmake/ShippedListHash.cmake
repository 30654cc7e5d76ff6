# Writes the header that carries the SHA-256 of the core.dat the build
# ships, so the exe knows its own list:
#   cmake -DCORE_DAT=<core.dat> -DOUTPUT=<header> -P ShippedListHash.cmake
file(SHA256 "${CORE_DAT}" hash)
file(WRITE "${OUTPUT}.new" "#pragma once\n// Generated from core.dat by cmake/ShippedListHash.cmake.\n"
     "namespace quietreel {\ninline constexpr char kShippedListSha256[] = \"${hash}\";\n}\n")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
