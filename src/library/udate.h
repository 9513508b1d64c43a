// The libraries' date stamp: seconds from 1970-01-01 00:00:00 to the local date and
// time, less 28800 (so it equals Unix time on a machine in the China time zone).
#pragma once

#include <ctime>
#include <string>

namespace orv::library {

long long uDateFromLocal(const std::tm& local);
// The local date and time a date stamp stands for: the inverse of uDateFromLocal.
std::tm localFromUDate(long long uDate);
long long uDateNow();

// "yyyy-mm-dd hh:mm:ss" of the local time now.
std::string localTimestamp();

// The local date and time now, and "yyyy-mm-dd hh:mm:ss" of any local time.
std::tm localNow();
std::string timestampText(const std::tm& local);

}  // namespace orv::library
