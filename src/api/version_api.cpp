// The exported version of the running library: the macros of version.h as
// they were when the library was built.
#include "payfmt/version.h"

#include "api/boundary.h"

using namespace payfmt;

extern "C" {

PAYFMT_API const char* PayfmtLibVersion(void) {
    return guardedValue<const char*>("PayfmtLibVersion", PAYFMT_VERSION_STRING, [] { return PAYFMT_VERSION_STRING; });
}

PAYFMT_API int32_t PayfmtLibVersionNumber(void) {
    return guardedValue<int32_t>("PayfmtLibVersionNumber", PAYFMT_VERSION_NUMBER, [] { return PAYFMT_VERSION_NUMBER; });
}

}  // extern "C"
