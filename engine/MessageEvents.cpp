#include "engine/MessageEvents.h"

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QMovie>
#include <QStringDecoder>
#include <QTextDocument>
#include <algorithm>

#include "core/Cp1252.h"
#include "core/ErrorReport.h"
#include "core/FileNames.h"
#include "core/Localize.h"
#include "core/Settings.h"
#include "core/Utility.h"
#include "core/WebAccess.h"
#include "platform/qt/QtText.h"
#include "views/Art.h"
#include "views/BookForm.h"

namespace corv {

namespace {

constexpr int kViewerWidth = 510;
constexpr int kViewerHeight = 410;

bool StartsWithNoCase(const std::string& text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

bool IsWebScheme(const QString& scheme) {
    return scheme.compare(QLatin1String("http"), Qt::CaseInsensitive) == 0 ||
           scheme.compare(QLatin1String("https"), Qt::CaseInsensitive) == 0;
}

QByteArray ReadLocal(const std::string& path) {
    QFile file(ToQt(path));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

// Pictures larger than the page leave room for the text beside them.
QSize FitPicture(QSize size) {
    const QRect area = TEventsStg::MessageArea();
    const QSize room(area.width() - 360 - 30, area.height());
    if (size.width() <= room.width() && size.height() <= room.height()) return size;
    return size.scaled(room, Qt::KeepAspectRatio);
}

}  // namespace

// --- THtmlView ---

THtmlView::THtmlView(QWidget* parent) : QTextBrowser(parent) {
    setFrameShape(QFrame::NoFrame);
    setOpenLinks(false);
    setOpenExternalLinks(false);
    document()->setDefaultFont(art::UiFont(10));
    connect(this, &QTextBrowser::anchorClicked, this, [this](const QUrl& link) {
        if (!LinkHandler || !LinkHandler(link)) FollowLink(link);
    });
}

QString THtmlView::DecodePage(const QByteArray& bytes) {
    const QByteArray head = bytes.left(2048).toLower();
    if (head.contains("charset=utf-8") || head.contains("charset=\"utf-8\"") ||
        bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes);
    return ToQt(bytes.toStdString());
}

bool THtmlView::LoadFile(const std::string& path) {
    const std::string resolved = fs::ResolveCase(fs::NormalizeSeparators(path));
    QFile file(ToQt(resolved));
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray bytes = file.readAll();
    base_ = QUrl::fromLocalFile(ToQt(fs::DirName(resolved)));
    if (fs::DirName(resolved).empty()) base_ = QUrl::fromLocalFile(QStringLiteral("./"));
    setHtml(DecodePage(bytes));
    return true;
}

bool THtmlView::LoadAddress(const std::string& address) {
    std::string body;
    if (web::Fetch(address, nullptr, body) != 200) return false;
    base_ = QUrl(ToQt(address));
    setHtml(DecodePage(QByteArray::fromStdString(body)));
    return true;
}

QUrl THtmlView::Resolve(const QUrl& name) const {
    if (!name.isRelative()) return name;
    // Pages written on Windows name their files with "\".
    QString raw = name.path(QUrl::FullyDecoded);
    raw.replace(QLatin1Char('\\'), QLatin1Char('/'));
    QUrl relative;
    relative.setPath(raw);
    relative.setQuery(name.query());
    relative.setFragment(name.fragment());
    return base_.resolved(relative);
}

QVariant THtmlView::loadResource(int type, const QUrl& name) {
    const QUrl url = Resolve(name);
    QByteArray bytes;
    if (url.isLocalFile()) {
        bytes = ReadLocal(fs::ResolveCase(FromQt(url.toLocalFile())));
    } else if (IsWebScheme(url.scheme())) {
        std::string body;
        if (web::Fetch(FromQt(url.toString()), nullptr, body) == 200)
            bytes = QByteArray::fromStdString(body);
    } else {
        return QTextBrowser::loadResource(type, name);
    }
    if (bytes.isEmpty()) return {};
    if (type == QTextDocument::ImageResource) return QImage::fromData(bytes);
    if (type == QTextDocument::HtmlResource) return DecodePage(bytes);
    return bytes;
}

void THtmlView::FollowLink(const QUrl& link) {
    if (!link.scheme().isEmpty() && link.scheme() != QLatin1String("file")) return;
    if (link.path().isEmpty() && link.hasFragment()) {
        scrollToAnchor(link.fragment());
        return;
    }
    const QUrl target = Resolve(link);
    if (!target.isLocalFile()) return;
    if (LoadFile(FromQt(target.toLocalFile())) && target.hasFragment())
        scrollToAnchor(target.fragment());
}

// --- TMessageEvent ---

TMessageEvent::TMessageEvent(const std::string& line) : TEvent(line) {
    PictureLeft = EqualsNoCase(Param(6), "LEFT");
    MeterMode = EqualsNoCase(Param(7), "VANTOR");
}

TMessageEvent::~TMessageEvent() {
    CloseBeforeDestroy();
    StopPicture();
}

bool TMessageEvent::HasPicture() const {
    return !Storage->MessagePic->isHidden();
}

void TMessageEvent::StopPicture() {
    if (movie_) movie_->stop();
    Storage->MessagePic->setMovie(nullptr);
    Storage->MessagePic->clear();
    Storage->MessagePic->hide();
    movie_.reset();
}

void TMessageEvent::Setup() {
    TEvent::Setup();
    StopPicture();
    QSize picture;
    const std::string name = Param(5);
    if (!name.empty()) {
        if (ToLower(name).find("gif") != std::string::npos) {
            std::string path = CourseFilePath(name);
            if (!fs::FileExists(path)) path = CourseFilePath("..\\images\\" + name);
            auto movie = std::make_unique<QMovie>(ToQt(path));
            if (fs::FileExists(path) && movie->isValid() && movie->jumpToFrame(0)) {
                picture = FitPicture(movie->currentImage().size());
                movie->setScaledSize(picture);
                Storage->MessagePic->setMovie(movie.get());
                movie->start();
                movie_ = std::move(movie);
            }
        } else {
            const std::string path = CourseFilePath(name);
            if (fs::FileExists(path)) {
                QImageReader reader(ToQt(path));
                reader.setDecideFormatFromContent(true);
                const QImage image = reader.read();
                if (!image.isNull()) {
                    picture = FitPicture(image.size());
                    Storage->MessagePic->setPixmap(QPixmap::fromImage(
                        image.scaled(picture, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
                }
            }
        }
    }
    Storage->MessagePic->setVisible(picture.isValid());
    Storage->MessagePageLbl->clear();
    Storage->MessageTitleLbl->setText(ToQt(Param(4)));
    Storage->MessageText->setText(ToQt(Text));
    Storage->MessageText->show();
    Storage->MessageNextBtn->setText(ToQt(Str(603)));
    Storage->MessageCancelBtn->setText(ToQt(Str(602)));
    Storage->MessageCancelBtn->setVisible(ShowCancel());
    Storage->ActionBtn->setVisible(MeterMode);
    if (MeterMode) Route(Storage->ActionBtn);
    LayoutMessage(picture, PictureLeft);
    if (auto* window = MainWindow()) window->BorrowControl(Storage->MessagePanel);
    EventState = kEventFinished;
}

void TMessageEvent::Close(bool& refuse) {
    TEvent::Close(refuse);
    if (!refuse && !Visible() && movie_) movie_->stop();
}

void TMessageEvent::Teardown() {
    TEvent::Teardown();
    StopPicture();
    // Shown is done for a page: it counts as completed and as a measurement to keep.
    if (ResultItem) {
        ResultItem->Completed = true;
        ResultItem->Valid = true;
    }
}

void TMessageEvent::ButtonClick(QObject* sender) {
    TEvent::ButtonClick(sender);
    if (MeterMode && sender && sender->objectName() == QLatin1String("ActionBtn"))
        SetModalResult(3);
}

// --- THTMLMessageEvent ---

THTMLMessageEvent::THTMLMessageEvent(const std::string& line) : TEvent(line) {
    PictureLeft = EqualsNoCase(Param(6), "LEFT");
    MeterMode = EqualsNoCase(Param(7), "VANTOR");
}

THTMLMessageEvent::~THTMLMessageEvent() {
    CloseBeforeDestroy();
}

bool THTMLMessageEvent::HandleLink(const QUrl& link) {
    const QString scheme = link.scheme();
    if (scheme.isEmpty() || scheme.compare(QLatin1String("file"), Qt::CaseInsensitive) == 0)
        return false;
    const QString text = link.toString().toUpper();
    // "HTTPS:" counts as a web link too; the viewer could not follow it.
    if (!text.contains(QLatin1String("MAILTO:")) && !text.contains(QLatin1String("HTTP:")) &&
        !text.contains(QLatin1String("HTTPS:")))
        return false;
    TDynamicSettings* policy = CorvSettings::Policy();
    if (!(policy && policy->GetBool("RemoveInternetLinks")))
        if (!OpenAddress(FromQt(link.toString()))) ReportError(-8001, Str(18));
    return true;
}

void THTMLMessageEvent::Setup() {
    TEvent::Setup();
    if (auto* window = MainWindow()) window->SetTitle("");
    if (!viewer_) {
        viewer_ = new THtmlView(Storage->MessagePanel);
        viewer_->setObjectName(QStringLiteral("HtmlViewer"));
        viewer_->LinkHandler = [this](const QUrl& link) { return HandleLink(link); };
    }
    // Centred on the book (the panel covers the book).
    viewer_->setGeometry((TBookFormEx::kBookWidth - kViewerWidth) / 2,
                         (TBookFormEx::kBookHeight - kViewerHeight) / 2, kViewerWidth,
                         kViewerHeight);

    Storage->MessageNextBtn->setText(ToQt(Str(603)));
    Storage->MessageCancelBtn->setText(ToQt(Str(602)));
    Storage->MessageCancelBtn->setVisible(ShowCancel());
    if (PageCount < 2) {
        Storage->MessagePageLbl->hide();
    } else {
        Storage->MessagePageLbl->show();
        Storage->MessagePageLbl->setText(
            ToQt(std::to_string(PageNumber) + Str(712) + std::to_string(PageCount)));
    }
    if (PageNumber == PageCount) Storage->MessageNextBtn->setText(ToQt(Str(1692)));

    const std::string page = Param(3);
    bool shown = false;
    if (StartsWithNoCase(page, "http"))
        shown = viewer_->LoadAddress(page);
    else if (!page.empty() && fs::FileExists(fs::ResolveCase(
                                  fs::NormalizeSeparators(fs::Join(LessonsFolder(), page)))))
        shown = viewer_->LoadFile(fs::Join(LessonsFolder(), page));
    viewer_->setVisible(shown);
    Storage->MessageTitleLbl->setText(ToQt(Param(4)));

    Storage->MessagePic->hide();
    Storage->MessageText->setVisible(!shown);
    if (!shown) {
        Storage->MessageText->setText(ToQt(Text));
        LayoutMessage(QSize(), PictureLeft);
    }
    Storage->ActionBtn->setVisible(MeterMode);
    if (MeterMode) Route(Storage->ActionBtn);
    if (auto* window = MainWindow()) window->BorrowControl(Storage->MessagePanel);
    EventState = kEventFinished;
}

void THTMLMessageEvent::Close(bool& refuse) {
    TEvent::Close(refuse);
}

void THTMLMessageEvent::Teardown() {
    TEvent::Teardown();
    if (viewer_) viewer_->hide();
    // Shown is done for a page: it counts as completed and as a measurement to keep.
    if (ResultItem) {
        ResultItem->Completed = true;
        ResultItem->Valid = true;
    }
}

void THTMLMessageEvent::ButtonClick(QObject* sender) {
    TEvent::ButtonClick(sender);
    if (MeterMode && sender && sender->objectName() == QLatin1String("ActionBtn"))
        SetModalResult(3);
}

}  // namespace corv
