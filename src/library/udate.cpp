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

// The proleptic Gregorian date of a day counted from 1970-01-01.
void civilFromDays(long long z, int& y, unsigned& m, unsigned& d) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y = static_cast<int>(static_cast<long long>(yoe) + era * 400 + (m <= 2));
}

}  // namespace

std::tm localFromUDate(long long uDate) {
    const long long local = uDate + 28800;
    long long days = local / 86400;
    long long seconds = local % 86400;
    if (seconds < 0) {
        seconds += 86400;
        --days;
    }
    int y = 0;
    unsigned m = 0, d = 0;
    civilFromDays(days, y, m, d);
    std::tm t{};
    t.tm_year = y - 1900;
    t.tm_mon = static_cast<int>(m) - 1;
    t.tm_mday = static_cast<int>(d);
    t.tm_hour = static_cast<int>(seconds / 3600);
    t.tm_min = static_cast<int>(seconds / 60 % 60);
    t.tm_sec = static_cast<int>(seconds % 60);
    return t;
}

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
