#include <gtest/gtest.h>

#include "platform/qt/QtText.h"

namespace corv {
namespace {

TEST(QtText, EveryByteSurvivesTheRoundTrip) {
    std::string all;
    for (int c = 1; c < 256; ++c) all.push_back(static_cast<char>(c));
    EXPECT_EQ(FromQt(ToQt(all)), all);
}

TEST(QtText, CodePageLettersMapToTheirUnicodeForms) {
    EXPECT_EQ(ToQt("\x80"), QString(QChar(0x20AC)));    // euro sign
    EXPECT_EQ(ToQt("\xE4"), QString(QChar(0x00E4)));    // a umlaut
    EXPECT_EQ(FromQt(QString(QChar(0x2019))), "\x92");  // right single quote
}

TEST(QtText, CharactersWithoutACodePageFormAreDropped) {
    const QString mixed = QStringLiteral("a") + QChar(0x0416) + QStringLiteral("b") +
                          QString::fromUcs4(U"\U0001F600", 1) + QStringLiteral("c");
    EXPECT_EQ(FromQt(mixed), "abc");
}

}  // namespace
}  // namespace corv
