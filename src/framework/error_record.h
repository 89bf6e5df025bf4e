#pragma once
// Turning any failure into an error record: what every boundary does with an
// exception before a host sees it.
#include <exception>

#include "framework/errors.h"

namespace payfmt {

// The record of the exception: an EKORError's own; code OR 0xC0000000 for an
// operating-system error and for a support-layer or dispatch error (which also
// keep their source and help file); code 0xC0000000 for anything else (or no
// exception). The description is the exception's message.
ErrorInfo errorRecordOf(std::exception_ptr e);

}  // namespace payfmt
