#pragma once
// Date-times as the files store them: a real number of days since 30 December 1899, the
// fraction being the time of day (local time).

#include <string>

namespace corv {

double NowDateTime();
double EncodeDateTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
void DecodeDate(double dateTime, int& year, int& month, int& day);
// The short date the programs show and store ("31.12.2025").
std::string ShortDateText(double dateTime);

}  // namespace corv
