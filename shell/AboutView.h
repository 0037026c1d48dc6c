#pragma once
// The "Info" section: what this program is, which version, who is logged in, and help.

#include <memory>
#include <string>

#include "views/FormView.h"
#include "views/StorageForm.h"

class QLabel;

namespace corv {

class TAboutViewStg : public TStorageForm {
  public:
    TAboutViewStg();
    QWidget* AboutPanel;
    QLabel* ProductLbl;
    QLabel* VersionLbl;
    QLabel* UserLbl;
    QLabel* LinksLbl;
};

class TAboutView : public TCustomBookView {
  public:
    void Setup() override;
    void Teardown() override;

    // The three help links: (address, title); empty titles are left out. The stand-alone
    // typing test (`typeTest`) links to the vendor's pages instead of the manual.
    static std::vector<std::pair<std::string, std::string>> HelpLinks(bool typeTest);
    // Opens a help link; a page that is missing or cannot be opened is named in an error
    // message, since a console line is all the system would give otherwise.
    static bool OpenHelpLink(const std::string& address);

  private:
    std::unique_ptr<TAboutViewStg> stg_;
};

// Runs the view; its answer.
int RunAboutView();

}  // namespace corv
