#include "platform/qt/QtText.h"

#include <QList>

#include "core/Cp1252.h"

namespace corv {

QString ToQt(const std::string& cp1252) {
    const std::u32string wide = Cp1252ToUtf32(cp1252);
    return QString::fromUcs4(wide.data(), static_cast<qsizetype>(wide.size()));
}

std::string FromQt(const QString& text) {
    const QList<uint> codes = text.toUcs4();
    std::u32string wide;
    wide.reserve(static_cast<size_t>(codes.size()));
    for (uint c : codes) wide.push_back(static_cast<char32_t>(c));
    return Utf32ToCp1252(wide);
}

}  // namespace corv
