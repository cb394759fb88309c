// Compiled with the include path of one library only: it builds exactly when that library may
// see the header named by PELLORIN_PROBE_HEADER.
#include PELLORIN_PROBE_HEADER
