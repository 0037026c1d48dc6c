#pragma once
// The keyboard of the lesson-completed page: the keys of the current layout, with the
// keys learnt so far lit.

#include <QColor>
#include <QWidget>
#include <string>
#include <vector>

namespace corv {

class TKeyDataExt;

// The keyboard of the current layout with some keys lit.
class TKeyboardPicture : public QWidget {
  public:
    explicit TKeyboardPicture(QWidget* parent = nullptr);
    // The keys that type these characters are lit.
    void MarkKeys(TKeyDataExt* layout, const std::string& keys);
    int LitCount() const { return static_cast<int>(lit_.size()); }
    QColor Background;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    TKeyDataExt* layout_ = nullptr;
    std::vector<const void*> lit_;
};

}  // namespace corv
