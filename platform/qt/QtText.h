#pragma once
// Text crosses into Qt only here: inside, text is Windows-1252 bytes in std::string.

#include <QString>
#include <string>

namespace corv {

QString ToQt(const std::string& cp1252);
// Characters with no Windows-1252 form are dropped.
std::string FromQt(const QString& text);

}  // namespace corv
