/*
 * payfmt version: the one place where the version of the library is
 * written. The build reads PAYFMT_VERSION_MAJOR, _MINOR and _PATCH from this
 * file, so the shared object, the package and these macros always agree.
 *
 * The macros give the version of the header a program was compiled with;
 * PayfmtLibVersion and PayfmtLibVersionNumber give that of the library it
 * runs with. A host that must not run on an older library compares
 * PayfmtLibVersionNumber() with PAYFMT_VERSION_NUMBER.
 */
#ifndef PAYFMT_VERSION_H
#define PAYFMT_VERSION_H

#include <stdint.h>

#include "export.h"

#define PAYFMT_VERSION_MAJOR 0
#define PAYFMT_VERSION_MINOR 1
#define PAYFMT_VERSION_PATCH 0

/* major * 1000000 + minor * 1000 + patch: 0.1.0 is 1000, 2.3.4 is 2003004. */
#define PAYFMT_VERSION_NUMBER \
    (PAYFMT_VERSION_MAJOR * 1000000 + PAYFMT_VERSION_MINOR * 1000 + PAYFMT_VERSION_PATCH)

#define PAYFMT_VERSION_TEXT_(n) #n
#define PAYFMT_VERSION_TEXT(n) PAYFMT_VERSION_TEXT_(n)
/* "major.minor.patch", e.g. "0.1.0". */
#define PAYFMT_VERSION_STRING                                                        \
    PAYFMT_VERSION_TEXT(PAYFMT_VERSION_MAJOR) "." PAYFMT_VERSION_TEXT(PAYFMT_VERSION_MINOR) "." \
        PAYFMT_VERSION_TEXT(PAYFMT_VERSION_PATCH)

PAYFMT_EXTERN_C_BEGIN

/* The version of the running library as PAYFMT_VERSION_STRING wrote it when
   the library was built. The text is static: never null, never freed.
   Cannot fail; takes the process lock like every export. */
PAYFMT_API const char *PayfmtLibVersion(void);

/* The version of the running library as PAYFMT_VERSION_NUMBER wrote it when
   the library was built. Cannot fail; takes the process lock like every
   export. */
PAYFMT_API int32_t PayfmtLibVersionNumber(void);

PAYFMT_EXTERN_C_END

#endif
