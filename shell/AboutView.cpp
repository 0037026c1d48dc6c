#include "shell/AboutView.h"

#include <QLabel>
#include <filesystem>

#include "core/ErrorReport.h"
#include "core/FileNames.h"
#include "core/Localize.h"
#include "core/Settings.h"
#include "core/Utility.h"
#include "data/User.h"
#include "platform/qt/QtText.h"
#include "shell/AppFrame.h"
#include "views/Art.h"
#include "views/BookForm.h"

namespace corv {

TAboutViewStg::TAboutViewStg() {
    AboutPanel = Make<QWidget>(this, "AboutPanel");
    AboutPanel->setGeometry(0, 0, 800, 600);
    ProductLbl = Make<QLabel>(AboutPanel, "ProductLbl");
    ProductLbl->setGeometry(200, 90, 560, 40);
    ProductLbl->setStyleSheet(art::ProductTitleStyle());
    VersionLbl = Make<QLabel>(AboutPanel, "VersionLbl");
    VersionLbl->setGeometry(200, 140, 560, 24);
    UserLbl = Make<QLabel>(AboutPanel, "UserLbl");
    UserLbl->setGeometry(200, 180, 560, 24);
    LinksLbl = Make<QLabel>(AboutPanel, "LinksLbl");
    LinksLbl->setGeometry(200, 230, 560, 140);
    LinksLbl->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    LinksLbl->setTextFormat(Qt::RichText);
    LinksLbl->setOpenExternalLinks(false);
}

std::vector<std::pair<std::string, std::string>> TAboutView::HelpLinks(bool typeTest) {
    // Str(551) Str(1478) Str(553)
    const std::pair<const char*, int> installed[] = {
        {"manual/tutor.htm", 551}, {"manual/user-manual.htm", 1478}, {"manual/schools.htm", 553}};
    // The stand-alone typing test has no manual of its own: its help is on the web site.
    const std::pair<const char*, int> vendor[] = {
        {"https://www.corvella.example/typingtest/help.htm", 551},
        {"https://www.corvella.example/typingtest/manual.htm", 1478},
        {"https://www.corvella.example/typingtest/schools.htm", 553}};
    const auto& defaults = typeTest ? vendor : installed;
    TDynamicSettings* policy = CorvSettings::Policy();
    const bool noInternet = policy && policy->GetBool("RemoveInternetLinks");
    std::vector<std::pair<std::string, std::string>> links;
    for (int i = 0; i < 3; ++i) {
        std::string address = defaults[i].first;
        std::string custom = policy ? policy->GetText("LinkAddress" + std::to_string(i + 1)) : "";
        if (!custom.empty()) address = custom;
        std::string title = Localization().String(defaults[i].second);
        const bool web = address.find("://") != std::string::npos;
        if (title.empty() || (web && noInternet)) continue;
        links.emplace_back(address, title);
    }
    return links;
}

bool TAboutView::OpenHelpLink(const std::string& address) {
    const size_t colon = address.find(':');
    const bool web = colon != std::string::npos && colon > 1 && address.find('/') > colon;
    if (web) {
        if (OpenAddress(address)) return true;
        ReportError(-5452, address);
        return false;
    }
    // A page of the installation, named from the root folder.
    const std::string path = fs::ResolveCase(fs::NormalizeSeparators(address));
    if (!fs::FileExists(path)) {
        ReportError(-1, std::filesystem::absolute(path).string());
        return false;
    }
    if (OpenAddress(path)) return true;
    ReportError(-8001, std::filesystem::absolute(path).string());
    return false;
}

void TAboutView::Setup() {
    TCustomBookView::Setup();
    SetShowCancel(false);
    SetButtonSet(0);
    stg_ = std::make_unique<TAboutViewStg>();
    const ProductInfo& p = Product();
    stg_->ProductLbl->setText(ToQt(p.title.empty() ? Str(2) : p.title));
    stg_->VersionLbl->setText(ToQt(p.version + "." + p.build + " (" + p.buildDate + ")"));
    TUser* user = CurrentUser();
    std::string who = !user ? std::string() : user->IsVisitor() ? Str(17) : user->DisplayName();
    stg_->UserLbl->setText(ToQt(who));
    QString links;
    for (const auto& [address, title] : HelpLinks(Product().typeTest))
        links += QStringLiteral("<p><a href=\"%1\">%2</a></p>")
                     .arg(ToQt(address).toHtmlEscaped(), ToQt(title).toHtmlEscaped());
    stg_->LinksLbl->setText(links);
    QObject::connect(stg_->LinksLbl, &QLabel::linkActivated,
                     [](const QString& link) { OpenHelpLink(FromQt(link)); });
    MainWindow()->BorrowChildren(stg_->AboutPanel);
}

void TAboutView::Teardown() {
    TCustomBookView::Teardown();
    stg_.reset();
}

int RunAboutView() {
    TAboutView view;
    return view.ShowModal();
}

}  // namespace corv
