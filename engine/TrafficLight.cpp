#include "engine/TrafficLight.h"

#include <QPainter>
#include <cmath>

#include "platform/qt/QtText.h"
#include "views/Art.h"
#include "views/BookForm.h"

namespace corv {

namespace {

bool LowColourMode() {
    const TBookFormEx* window = MainWindow();
    return window && window->LowColour();
}

}  // namespace

TTrafficLightLcd::TTrafficLightLcd(QWidget* parent) : QWidget(parent) {
    // The lamps take 40 pixels; the captions stand to their right.
    resize(140, 110);
    setFont(art::UiFont(10, true));
}

void TTrafficLightLcd::SetState(int state) {
    if (state < 0 || state > 3) state = 0;
    if (state == state_) return;
    state_ = state;
    update();
}

void TTrafficLightLcd::SetCaptions(const std::string& state1, const std::string& state2,
                                   const std::string& state3) {
    captions_ = {state1, state2, state3};
    update();
}

void TTrafficLightLcd::paintEvent(QPaintEvent*) {
    ++paints_;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setFont(font());
    const bool low = LowColourMode();
    const QColor pale(0xc9, 0xd2, 0xd8);
    const QColor dark = art::Ink();
    const QColor fills[3] = {low ? QColor(192, 220, 192) : QColor(165, 206, 173),
                             QColor(248, 218, 50), low ? QColor(255, 0, 0) : QColor(255, 0, 128)};
    for (int lamp = 1; lamp <= 3; ++lamp) {
        // State 1 is the bottom lamp.
        const int top = 5 + 35 * (3 - lamp);
        const QRectF circle(5.5, top + 0.5, 29, 29);
        const bool lit = lamp == state_;
        if (lit) {
            p.setPen(QPen(fills[lamp - 1].darker(125), 1));
            p.setBrush(fills[lamp - 1]);
        } else {
            p.setPen(QPen(pale, 2));
            p.setBrush(Qt::NoBrush);
        }
        p.drawEllipse(circle);
        p.setPen(lit ? dark : pale);
        const QRect caption(40, top, width() - 40, 30);
        p.drawText(caption, Qt::AlignLeft | Qt::AlignVCenter,
                   ToQt(captions_[static_cast<size_t>(lamp - 1)]));
    }
}

}  // namespace corv
