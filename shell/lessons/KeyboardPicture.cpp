#include "shell/lessons/KeyboardPicture.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <climits>
#include <cmath>

#include "core/Cp1252.h"
#include "data/keyboard/KeyData.h"
#include "platform/qt/QtText.h"
#include "views/Art.h"

namespace corv {

TKeyboardPicture::TKeyboardPicture(QWidget* parent)
    : QWidget(parent), Background(art::KeyboardPaper()) {}

void TKeyboardPicture::MarkKeys(TKeyDataExt* layout, const std::string& keys) {
    layout_ = layout;
    lit_.clear();
    if (!layout) return;
    for (char c : keys) {
        TKeyLookup found = layout->FindKey(c);
        if (!found) continue;
        if (std::find(lit_.begin(), lit_.end(), found.key) == lit_.end()) lit_.push_back(found.key);
    }
    update();
}

void TKeyboardPicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, true);
    QPainterPath frame;
    frame.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 10, 10);
    p.fillPath(frame, Background);
    p.setPen(QPen(Background.darker(125), 1));
    p.drawPath(frame);
    if (!layout_ || layout_->keys.empty()) return;
    // The keys' own coordinates, scaled into the picture with a margin.
    int minX = INT32_MAX, minY = INT32_MAX, maxX = INT32_MIN, maxY = INT32_MIN;
    for (const auto& k : layout_->keys) {
        if (k->width <= 0 || k->height <= 0 || (k->hidden && !k->storedOnly)) continue;
        minX = std::min(minX, k->x);
        minY = std::min(minY, k->y);
        maxX = std::max(maxX, k->x + k->width);
        maxY = std::max(maxY, k->y + k->height);
    }
    if (maxX <= minX || maxY <= minY) return;
    const double margin = 12;
    const double scale =
        std::min((width() - 2 * margin) / (maxX - minX), (height() - 2 * margin) / (maxY - minY));
    const double left = (width() - (maxX - minX) * scale) / 2,
                 top = (height() - (maxY - minY) * scale) / 2;
    QFont font = art::UiFont(std::max(6, static_cast<int>(std::lround(9 * scale))), true);
    p.setFont(font);
    for (const auto& k : layout_->keys) {
        if (k->width <= 0 || k->height <= 0 || k->hidden) continue;
        const QRectF r(left + (k->x - minX) * scale + 1.5, top + (k->y - minY) * scale + 1.5,
                       k->width * scale - 3, k->height * scale - 3);
        const bool lit = std::find(lit_.begin(), lit_.end(), k.get()) != lit_.end();
        p.setPen(QPen(lit ? art::LitKeyEdge() : art::KeyEdge(), 1));
        p.setBrush(lit ? art::Amber() : art::KeyFace());
        p.drawRoundedRect(r, 3, 3);
        const std::string caption = layout_->KeyCaption(*k, 0);
        if (caption.size() == 1 && static_cast<unsigned char>(caption[0]) > 32) {
            p.setPen(lit ? art::AccentDark() : art::InkSoft());
            p.drawText(r, Qt::AlignCenter,
                       ToQt(std::string(1, static_cast<char>(UpperCase(caption[0])))));
        }
    }
}

}  // namespace corv
