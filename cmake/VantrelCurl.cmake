# libcurl, the update check's HTTP client. The host uses Debian's
# libcurl4-openssl-dev. Windows links a static Schannel build that
# scripts/build-libcurl.sh makes from Debian's curl source package and keeps
# in a cache outside the repository, keyed by the package version and the
# build options; it is built here when missing, so a fresh machine needs no
# extra step, and a changed script configures (and so builds) again.
if(WIN32)
  set(VANTREL_CURL_PREFIX "" CACHE PATH
      "Install prefix of the static Windows libcurl (empty: the cached build)")
  set(curl_prefix "${VANTREL_CURL_PREFIX}")
  if(NOT curl_prefix)
    message(STATUS "libcurl for Windows: scripts/build-libcurl.sh (builds it once when missing)")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
                 ${CMAKE_SOURCE_DIR}/scripts/build-libcurl.sh
                 ${CMAKE_SOURCE_DIR}/cmake/mingw-w64-x86_64.cmake)
    execute_process(COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/build-libcurl.sh
                    OUTPUT_VARIABLE curl_prefix OUTPUT_STRIP_TRAILING_WHITESPACE
                    RESULT_VARIABLE curl_result)
    if(NOT curl_result EQUAL 0)
      message(FATAL_ERROR "scripts/build-libcurl.sh failed (run scripts/setup.sh first)")
    endif()
  endif()
  # The toolchain finds packages only below its find roots.
  list(APPEND CMAKE_FIND_ROOT_PATH "${curl_prefix}")
  find_package(CURL CONFIG REQUIRED)
  message(STATUS "libcurl for Windows: ${curl_prefix}")
else()
  find_package(CURL REQUIRED)
endif()
