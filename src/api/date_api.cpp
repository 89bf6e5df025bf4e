// The exported date functions: IDate text to serial dates and back, and a
// random date between two bounds.
#include <cstring>
#include <limits>

#include "api/boundary.h"
#include "api/library.h"
#include "operators/date_functions.h"
#include "operators/serial_dates.h"
#include "payfmt/format.h"

using namespace payfmt;

extern "C" {

PAYFMT_API int32_t IDateToSerial(const char* idate, double* serial) {
    try {
        ProcessGuard lock(processLock());
        FormatCall call;
        try {
            requirePointer(serial, "IDateToSerial", "serial");
            *serial = iDateToSerial(call.parser().settings(), textArg(idate));
            return 0;
        } catch (...) {
            return static_cast<int32_t>(frameworkStatus("IDateToSerial"));
        }
    } catch (...) {
        return static_cast<int32_t>(reportFailure("IDateToSerial"));
    }
}

PAYFMT_API int32_t SerialToIDate(double serial, char idate[15]) {
    try {
        ProcessGuard lock(processLock());
        FormatCall call;
        try {
            requirePointer(idate, "SerialToIDate", "idate");
            idate[0] = '\0';
            const std::string text = serialToIDate(call.parser().settings(), serial);
            std::memcpy(idate, text.c_str(), text.size() + 1);
            return 0;
        } catch (...) {
            return static_cast<int32_t>(frameworkStatus("SerialToIDate"));
        }
    } catch (...) {
        return static_cast<int32_t>(reportFailure("SerialToIDate"));
    }
}

PAYFMT_API double Date_Rnd(double lowest, double highest) {
    constexpr double kNoDate = std::numeric_limits<double>::quiet_NaN();
    try {
        ProcessGuard lock(processLock());
        FormatCall call;
        try {
            return DateRnd(call.parser().settings(), lowest, highest);
        } catch (...) {
            frameworkStatus("Date_Rnd");
            return kNoDate;
        }
    } catch (...) {
        reportFailure("Date_Rnd");
        return kNoDate;
    }
}

}  // extern "C"
