#include "core/DateTime.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace corv {
namespace {
using namespace std::chrono;
constexpr sys_days kEpoch = sys_days{year{1899} / December / 30};
}  // namespace

double EncodeDateTime(int y, int m, int d, int hh, int mm, int ss) {
    sys_days day = sys_days{year{y} / month{static_cast<unsigned>(m)} / static_cast<unsigned>(d)};
    return static_cast<double>((day - kEpoch).count()) + (hh * 3600 + mm * 60 + ss) / 86400.0;
}

double NowDateTime() {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    ::localtime_r(&t, &tm);
    return EncodeDateTime(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min,
                          tm.tm_sec);
}

void DecodeDate(double dateTime, int& y, int& m, int& d) {
    year_month_day ymd{kEpoch + days{static_cast<long>(std::floor(dateTime))}};
    y = static_cast<int>(ymd.year());
    m = static_cast<int>(static_cast<unsigned>(ymd.month()));
    d = static_cast<int>(static_cast<unsigned>(ymd.day()));
}

std::string ShortDateText(double dateTime) {
    int y, m, d;
    DecodeDate(dateTime, y, m, d);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d.%02d.%04d", d, m, y);
    return buf;
}

}  // namespace corv
