# Build of the Linux x86-64 plug-ins for MATLAB with clang. The plug-ins are freestanding: they
# include only the compiler's own headers and link against nothing but stubs made from ship/linux:
# libmx.so, libmex.so, and libc.so.6 and libpthread.so.0 with the thread layer's four functions
# at versions every glibc since 2.3.4 has; no C++ runtime (Deliverables.cmake).
# The test host and the case runner beside them are ordinary programs of this machine.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_CXX_COMPILER_TARGET x86_64-linux-gnu)

# add_plugin() builds each module's Linux deliverable.
set(MEX_EXTENSION mexa64)
set(MEX_DELIVERABLES linux)
