#pragma once
// The "Settings" section: the options page. Every choice takes effect as soon as it is
// made (OptionsChoices.h stores and applies it); a locked choice is disabled with
// "Locked" beside it. The page has no bottom buttons: the section menu leaves it.

#include <memory>

#include "shell/options/OptionsChoices.h"
#include "shell/options/OptionsViewStg.h"
#include "views/FormView.h"

class QObject;

namespace corv {

class TLayoutPreview;

class TOptionsView : public TCustomBookView {
  public:
    TOptionsView();
    ~TOptionsView() override;

    void Setup() override;
    void Teardown() override;

    // The click of AutoDetect or UserLayout and the change of Layout.
    void LayoutChoice(QObject* sender);
    void SoundsChange();

    TOptioStg* Storage() const { return stg_.get(); }
    const TOptionsState& State() const { return state_; }
    TLayoutPreview* Preview() const { return preview_.get(); }

  private:
    // Shows the state: checks, items, enabled controls and "Locked" labels.
    void ShowState();
    // After a language change: the texts of the page in the new language.
    void Relabel();

    std::unique_ptr<TOptioStg> stg_;
    std::unique_ptr<TLayoutPreview> preview_;
    TOptionsState state_;
    bool layoutLoaded_ = false;
};

// Runs the page; its answer (0: left through the menu or Exit).
int RunOptionsView();

}  // namespace corv
