/* payfmt: every public header. */
#ifndef PAYFMT_PAYFMT_H
#define PAYFMT_PAYFMT_H

#include "version.h"
#include "vex.h"
#include "format.h"
#include "kor.h"

#endif
