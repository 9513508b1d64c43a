// Date stamps from the local clock.
#include "library/udate.h"

#include "os/os.h"

#include <cstdio>

namespace orv::library {
namespace {

// Days from 1970-01-01 to a proleptic Gregorian date.
long long daysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

}  // namespace

std::tm localNow() {
    const std::time_t now = std::time(nullptr);
    return os::localTime(now);
}

long long uDateFromLocal(const std::tm& local) {
    const long long days = daysFromCivil(local.tm_year + 1900LL, static_cast<unsigned>(local.tm_mon + 1),
                                         static_cast<unsigned>(local.tm_mday));
    return days * 86400 + local.tm_hour * 3600LL + local.tm_min * 60LL + local.tm_sec - 28800;
}

long long uDateNow() { return uDateFromLocal(localNow()); }

std::string timestampText(const std::tm& t) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday,
                  t.tm_hour, t.tm_min, t.tm_sec);
    return buf;
}

std::string localTimestamp() { return timestampText(localNow()); }

}  // namespace orv::library
