#pragma once
// Difficulty figures 0..100 from the difficult-key statistics and the collected words,
// their colour and their level texts.

#include <string>

#include "data/DifficultKeys.h"

namespace corv {

// The eight hardest keys, the first four weighted up; 0 without statistics.
int DifficultKeyScore(TDifficultKeys* keys);
int DifficultKeyScore();  // of the active table
// The six hardest capitals (first three weighted up) and the eight hardest lower-case
// keys (first four weighted up).
int KeyScore6(TDifficultKeys& keys);
int KeyScore6();
int KeyScore8(TDifficultKeys& keys);
int KeyScore8();
// The collector's difficult-words score while words are collected, else 0.
int WordScore();
// Words, keys and capitals blended; a fixed 72 in screenshot mode.
int OverallDifficulty(TDifficultKeys& keys);
int OverallDifficulty();

// Screenshots show the same figure every time ("/SCREENSHOTMODE").
void SetScreenshotMode(bool on);
bool ScreenshotMode();

// Red from the statistics' upper threshold, blue below the lower one, yellow between.
TRgb DifficultyColour(double value);

// The level of a figure 0..100 in words; empty outside that range. LevelText2 names 0
// on its own.
std::string LevelText(int value);
std::string LevelText2(int value);

}  // namespace corv
