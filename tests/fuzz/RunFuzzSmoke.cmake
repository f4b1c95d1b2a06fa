# A short fuzzing run on a fixed corpus: new inputs go to a fresh WORK folder,
# so every run starts from the same seeds.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/new)
execute_process(COMMAND ${FUZZER} ${FLAGS} -artifact_prefix=${WORK}/ ${WORK}/new ${CORPUS} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${FUZZER} failed (${rc}); the input that failed is in ${WORK}")
endif()
