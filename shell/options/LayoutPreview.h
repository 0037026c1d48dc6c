#pragma once
// The live picture of a keyboard layout on the options page. For now the lesson pages'
// keyboard picture draws it; the on-screen keyboard of the typing engine takes its place
// behind this same interface.

#include <memory>

class QWidget;

namespace corv {

class TKeyDataExt;

class TLayoutPreview {
  public:
    virtual ~TLayoutPreview() = default;
    // The control to place on the page ("KeyboardPreview").
    virtual QWidget* Widget() = 0;
    // Draws the layout again (none draws an empty keyboard).
    virtual void Redraw(TKeyDataExt* layout) = 0;
};

// The picture is a child of `parent` and dies with it.
std::unique_ptr<TLayoutPreview> MakeLayoutPreview(QWidget* parent);

}  // namespace corv
