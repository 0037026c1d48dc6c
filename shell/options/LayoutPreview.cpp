#include "shell/options/LayoutPreview.h"

#include "shell/lessons/KeyboardPicture.h"
#include "views/Art.h"

namespace corv {
namespace {

class TPicturePreview : public TLayoutPreview {
  public:
    explicit TPicturePreview(QWidget* parent) : picture_(new TKeyboardPicture(parent)) {
        picture_->setObjectName(QStringLiteral("KeyboardPreview"));
        // The page's light green behind the keys (red 231, green 247, blue 231).
        picture_->Background = art::FromTColor(15202279);
    }
    QWidget* Widget() override { return picture_; }
    void Redraw(TKeyDataExt* layout) override { picture_->MarkKeys(layout, ""); }

  private:
    TKeyboardPicture* picture_;
};

}  // namespace

std::unique_ptr<TLayoutPreview> MakeLayoutPreview(QWidget* parent) {
    return std::make_unique<TPicturePreview>(parent);
}

}  // namespace corv
