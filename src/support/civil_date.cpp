#include "support/civil_date.h"

#include <ctime>

namespace payfmt {

double serialNow() {
    const std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    const double day = static_cast<double>(serialFromCivil(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday));
    return day + (local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec) / 86400.0;
}

}  // namespace payfmt
