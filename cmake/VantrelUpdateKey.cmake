# The public key that verifies update signatures, compiled into the program.
#
# A publisher names a P-256 public key in PEM form with
# -DVANTREL_UPDATE_PUBLIC_KEY=path. Without one, a development key pair is
# made once in the build folder (signing/development-key.pem, never part
# of the repository), and the program is marked as trusting a development
# key, which the release tool refuses to publish.
set(VANTREL_UPDATE_PUBLIC_KEY "" CACHE FILEPATH
    "P-256 public key (PEM) that verifies update signatures; empty: a development key of this build folder")

set(VANTREL_SIGNING_FOLDER ${CMAKE_BINARY_DIR}/signing)
set(VANTREL_DEVELOPMENT_SIGNING_KEY "")
file(MAKE_DIRECTORY ${VANTREL_SIGNING_FOLDER})

function(vantrel_openssl)
  execute_process(COMMAND openssl ${ARGN} RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE error)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "openssl ${ARGN}: ${error}")
  endif()
endfunction()

if(VANTREL_UPDATE_PUBLIC_KEY)
  set(key_pem ${VANTREL_UPDATE_PUBLIC_KEY})
  set(VANTREL_UPDATE_KEY_KIND release)
else()
  set(VANTREL_DEVELOPMENT_SIGNING_KEY ${VANTREL_SIGNING_FOLDER}/development-key.pem)
  if(NOT EXISTS ${VANTREL_DEVELOPMENT_SIGNING_KEY})
    vantrel_openssl(ecparam -name prime256v1 -genkey -noout -out ${VANTREL_DEVELOPMENT_SIGNING_KEY})
    file(CHMOD ${VANTREL_DEVELOPMENT_SIGNING_KEY} PERMISSIONS OWNER_READ OWNER_WRITE)
  endif()
  set(key_pem ${VANTREL_DEVELOPMENT_SIGNING_KEY})
  set(VANTREL_UPDATE_KEY_KIND development)
endif()
set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${key_pem})

# The key as DER SubjectPublicKeyInfo: for a P-256 key in uncompressed form
# that is always these 27 bytes, then X and Y. Anything else (another curve,
# a compressed point, a private key's other fields) is refused here.
set(key_der ${VANTREL_SIGNING_FOLDER}/update-public.der)
if(VANTREL_UPDATE_PUBLIC_KEY)
  vantrel_openssl(pkey -pubin -in ${key_pem} -outform DER -out ${key_der})
else()
  vantrel_openssl(pkey -in ${key_pem} -pubout -outform DER -out ${key_der})
endif()
file(READ ${key_der} key_hex HEX)
set(p256_prefix 3059301306072a8648ce3d020106082a8648ce3d03010703420004)
string(LENGTH "${key_hex}" key_hex_length)
string(SUBSTRING "${key_hex}" 0 54 key_prefix)
if(NOT key_hex_length EQUAL 182 OR NOT key_prefix STREQUAL p256_prefix)
  message(FATAL_ERROR "${key_pem} is no P-256 public key with an uncompressed point")
endif()
string(SUBSTRING "${key_hex}" 54 128 VANTREL_UPDATE_KEY_HEX)
