// Compiled with one layer's include path and a header of the layer above it:
// the build must refuse it (cmake/win32.cmake, the layers_* tests).
#include PROBE_HEADER
