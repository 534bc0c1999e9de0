# The capture's pieces on GNU parallel over SSH and on a one-node Slurm cluster, each started by
# the test (tests/engines/check.sh), joined and compared with one machine's master (long tier).
# Without root or the cluster group of install-deps they report as skipped.
set(ENGINES ${CMAKE_CURRENT_SOURCE_DIR}/engines/check.sh)
add_test(NAME Engines.ParallelSsh COMMAND ${ENGINES} ssh WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
add_test(NAME Engines.Slurm COMMAND ${ENGINES} slurm ${CMAKE_SOURCE_DIR}/scripts/slurm-capture.sbatch
         WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
set_tests_properties(Engines.ParallelSsh Engines.Slurm PROPERTIES LABELS long TIMEOUT 900
  SKIP_RETURN_CODE 77)
