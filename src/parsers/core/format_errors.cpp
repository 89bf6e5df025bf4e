#include "parsers/core/format_errors.h"

#include "engine/settings.h"

namespace payfmt {

EKORError korErrorOf(const TFormatError& e) {
    return EKORError(e.lastCode(), e.lastLocation(), e.errorText(settings().detailedErrors));
}

}  // namespace payfmt
