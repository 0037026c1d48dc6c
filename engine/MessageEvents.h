#pragma once
// Message pages: a text with an optional picture, or an HTML page (from the lessons folder
// or over HTTP). Both are finished from the start: Next gives 3, Cancel 4, Enter 1.

#include <QTextBrowser>
#include <QUrl>
#include <functional>
#include <memory>
#include <string>

#include "engine/Event.h"

class QMovie;

namespace corv {

// The HTML viewer of message pages: pages and pictures from local files (names matched
// without regard to case, "\" as separator) or over HTTP.
class THtmlView : public QTextBrowser {
  public:
    explicit THtmlView(QWidget* parent = nullptr);

    // Sees every clicked link first; a link it does not handle (false) the viewer follows
    // when it can: a page or anchor in a local file.
    std::function<bool(const QUrl& link)> LinkHandler;
    void FollowLink(const QUrl& link);

    // A local page; false when it cannot be read.
    bool LoadFile(const std::string& path);
    // A page over HTTP; false unless it arrived with status 200.
    bool LoadAddress(const std::string& address);
    // The folder or address relative names on the page are taken from.
    const QUrl& Base() const { return base_; }

    // Decodes page bytes: UTF-8 when the page says so, else Windows-1252.
    static QString DecodePage(const QByteArray& bytes);

    QVariant loadResource(int type, const QUrl& name) override;

  private:
    QUrl Resolve(const QUrl& name) const;
    QUrl base_;
};

class TMessageEvent : public TEvent {
  public:
    explicit TMessageEvent(const std::string& line);
    ~TMessageEvent() override;

    bool PictureLeft = false;
    bool MeterMode = false;

    void Setup() override;
    void Close(bool& refuse) override;
    void Teardown() override;
    void ButtonClick(QObject* sender) override;

    // The picture shown (null when none); an animated GIF plays.
    bool HasPicture() const;
    QMovie* Movie() const { return movie_.get(); }

  private:
    void StopPicture();
    std::unique_ptr<QMovie> movie_;
};

class THTMLMessageEvent : public TEvent {
  public:
    explicit THTMLMessageEvent(const std::string& line);
    ~THTMLMessageEvent() override;

    bool PictureLeft = false;
    bool MeterMode = false;

    void Setup() override;
    void Close(bool& refuse) override;
    void Teardown() override;
    void ButtonClick(QObject* sender) override;

    // Null until the first Setup.
    THtmlView* Viewer() const { return viewer_; }
    // What the link handler does with a link; true when it counts as handled.
    bool HandleLink(const QUrl& link);

  private:
    THtmlView* viewer_ = nullptr;  // on MessagePanel
};

}  // namespace corv
