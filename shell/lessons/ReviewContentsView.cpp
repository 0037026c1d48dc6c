#include "shell/lessons/ReviewContentsView.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>

#include "core/Localize.h"
#include "engine/analysis/Scores.h"
#include "platform/qt/QtText.h"
#include "views/Art.h"
#include "views/BookForm.h"

namespace corv {

namespace {

void ColourGauge(QProgressBar* bar, int value) {
    bar->setValue(value < 0 ? 0 : value > 100 ? 100 : value);
    const TRgb c = DifficultyColour(value);
    bar->setStyleSheet(art::GaugeChunkStyle(QColor(c.r, c.g, c.b)));
}

}  // namespace

TReviewContentsView::TReviewContentsView() {
    ShowCancelValue = true;
}

void TReviewContentsView::Setup() {
    TCustomContentsView::Setup();
    TLessonViewStg& s = *stg_;
    s.NaviPanel->hide();
    s.InfoPanel->setCurrentIndex(1);
    if (MainWindow()->LowColour()) {
        s.ShadingLeftPic->hide();
        s.ShadingRightPic->hide();
        s.LessonPanel->setStyleSheet(art::BackgroundStyle(art::LowColourReviewPaper()));
    }
    if (ScreenshotMode()) {
        OverallBefore = 72, OverallNow = 48, KeysBefore = 64, KeysNow = 32;
        CapitalsBefore = 76, CapitalsNow = 53, WordsBefore = 82, WordsNow = 46;
    }
    s.CompletedBtn->setText(ToQt(Str(1173)));
    s.CompletedBtn->show();
    s.NextLessonBtn->hide();
    s.PrevLessonBtn->hide();
    ColourGauge(s.KeyIndexGraph, KeysBefore);
    ColourGauge(s.KeyIndexGraph2, KeysNow);
    ColourGauge(s.CapitalIndexGraph, CapitalsBefore);
    ColourGauge(s.CapitalIndexGraph2, CapitalsNow);
    ColourGauge(s.WordIndexGraph, WordsBefore);
    ColourGauge(s.WordIndexGraph2, WordsNow);
    s.ChangeCourseBtn->hide();
    // Str(567) Str(328): the heading and text the lesson's run gives.
    s.LessonNameLbl->setText(ToQt(Str(HeadingString)));
    s.ExtraDescLbl->setText(ToQt(Str(TextString)));
}

}  // namespace corv
