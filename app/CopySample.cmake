# Copies the sample logbook beside the program when the source tree has one.
if(EXISTS "${SOURCE}")
  file(COPY_FILE "${SOURCE}" "${TARGET}" ONLY_IF_DIFFERENT)
else()
  message(WARNING "no sample logbook at ${SOURCE}; the program starts without it")
endif()
