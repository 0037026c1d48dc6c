#include "reports/PreviewForm.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <cctype>

#include "core/Cp1252.h"
#include "core/Localize.h"
#include "core/UserInterface.h"
#include "platform/qt/QtText.h"
#include "reports/ReportPages.h"
#include "views/Art.h"

namespace corv {

namespace {

TPreviewForm::FileChooser& ChooserHook() {
    static TPreviewForm::FileChooser chooser;
    return chooser;
}

// The page itself: white paper with the report drawn to the panel's size.
class PagePanel : public QWidget {
  public:
    PagePanel(TReportPages& pages, const int& current, QWidget* parent)
        : QWidget(parent), pages_(pages), current_(current) {}

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        painter.setPen(art::PaperEdge());
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.scale(static_cast<double>(width()) / pages_.pageWidth,
                      static_cast<double>(height()) / pages_.pageHeight);
        pages_.Paint(painter, current_);
    }

  private:
    TReportPages& pages_;
    const int& current_;
};

std::string DefaultChooser(QWidget* parent) {
    QFileDialog dialog(parent, QStringLiteral("Save PDF"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(
        {QStringLiteral("PDF Document (*.pdf)"), QStringLiteral("Bitmap image (*.bmp)")});
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    dialog.selectFile(QStringLiteral("Report"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first().toStdString();
}

}  // namespace

// --- Zoom ---

bool TPreviewZoom::Choose(const std::string& text) {
    if (text == Str(1002)) {
        mode = Mode::kPageWidth;
        return true;
    }
    if (text == Str(1003)) {
        mode = Mode::kWholePage;
        return true;
    }
    const size_t end = text.find('%');
    const std::string number = text.substr(0, end);
    if (number.empty() || number.size() > 4) return false;
    for (char c : number)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    const int value = std::stoi(number);
    if (value <= 0) return false;
    mode = Mode::kPercent;
    percent = value;
    return true;
}

QRect TPreviewZoom::PageRect(QSize client, QSize page, int windowPpi, int devicePpi) const {
    const int left = 40;
    const int top = 40;
    if (page.width() <= 0 || page.height() <= 0) return QRect(left, top, 1, 1);
    int width = 1;
    int height = 1;
    switch (mode) {
        case Mode::kPageWidth:
            width = client.width() - 40 - left;
            height = static_cast<int>(static_cast<long long>(width) * page.height() / page.width());
            break;
        case Mode::kWholePage:
            height = client.height() - 80 - top;
            width = static_cast<int>(static_cast<long long>(height) * page.width() / page.height());
            break;
        case Mode::kPercent:
            width = static_cast<int>(static_cast<long long>(windowPpi) * page.width() * percent /
                                     (static_cast<long long>(devicePpi) * 100));
            height = static_cast<int>(static_cast<long long>(windowPpi) * page.height() * percent /
                                      (static_cast<long long>(devicePpi) * 100));
            break;
    }
    return QRect(left, top, std::max(1, width), std::max(1, height));
}

std::string TPreviewZoom::Counter(int index, int count) {
    return Str(1092) + std::to_string(index + 1) + " / " + std::to_string(count);
}

// --- The window ---

void TPreviewForm::SetFileChooser(FileChooser chooser) {
    ChooserHook() = std::move(chooser);
}

TPreviewForm::TPreviewForm(TReportPages& pages, QWidget* parent) : QDialog(parent), pages_(pages) {
    setObjectName(QStringLiteral("PreviewForm"));
    setWindowTitle(ToQt(pages_.title.empty() ? Str(1) : pages_.title));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* bar = new QWidget(this);
    auto* barLayout = new QHBoxLayout(bar);
    barLayout->setContentsMargins(8, 4, 8, 4);
    auto button = [&](const char* name, const std::string& text) {
        auto* b = new QToolButton(bar);
        b->setObjectName(QString::fromLatin1(name));
        b->setText(ToQt(text));
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        barLayout->addWidget(b);
        return b;
    };
    PrevPageBtn = button("PrevPageBtn", Str(1093));
    NextPageBtn = button("NextPageBtn", Str(1094));
    PrintBtn = button("PrintBtn", Str(1096));
    PDFButton = button("PDFButton", Str(1097));
    ScaleCombo = new QComboBox(bar);
    ScaleCombo->setObjectName(QStringLiteral("ScaleCombo"));
    ScaleCombo->setEditable(true);
    ScaleCombo->addItems({ToQt(Str(1002)), ToQt(Str(1003)), QStringLiteral("200%"),
                          QStringLiteral("100%"), QStringLiteral("75%"), QStringLiteral("50%")});
    ScaleCombo->setMinimumContentsLength(12);
    barLayout->addWidget(ScaleCombo);
    barLayout->addStretch(1);
    CloseBtn = button("CloseBtn", Str(1098));
    layout->addWidget(bar);

    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setWidgetResizable(false);
    ScrollBox1->setBackgroundRole(QPalette::Dark);
    auto* canvas = new QWidget;
    canvas->setAutoFillBackground(false);
    Panel1 = new PagePanel(pages_, current_, canvas);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    ScrollBox1->setWidget(canvas);
    ScrollBox1->viewport()->installEventFilter(this);
    layout->addWidget(ScrollBox1, 1);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    notice_ = new QLabel(StatusBar1);
    counter_ = new QLabel(StatusBar1);
    StatusBar1->addWidget(notice_, 1);
    StatusBar1->addPermanentWidget(counter_);
    layout->addWidget(StatusBar1);

    PDFButton->setEnabled(!pages_.pdfDisabled);
    PrintBtn->setEnabled(!pages_.printingDisabled);
    std::string notice;
    if (!pages_.printingDisabled && !pages_.printerInUse) notice = Str(1005);
    const std::string missing = TReportPages::MissingFonts();
    if (!missing.empty()) notice += (notice.empty() ? "" : "  ") + Str(1004) + missing;
    Notice(notice);

    connect(PrevPageBtn, &QToolButton::clicked, this, [this] { PrevPageBtn1Click(); });
    connect(NextPageBtn, &QToolButton::clicked, this, [this] { NextPageBtn1Click(); });
    connect(PrintBtn, &QToolButton::clicked, this, [this] { PrintBtn1Click(); });
    connect(PDFButton, &QToolButton::clicked, this, [this] { SpeedButtonClick(); });
    connect(CloseBtn, &QToolButton::clicked, this, &QDialog::accept);
    connect(ScaleCombo, &QComboBox::currentTextChanged, this, [this] { ScaleCombo1Change(); });

    resize(1000, 760);
    ShowPage(0);
    ready_ = true;
    Fit();
}

TPreviewForm::~TPreviewForm() = default;

void TPreviewForm::ShowModal(TReportPages& pages) {
    TPreviewForm form(pages, QApplication::activeWindow());
    form.setWindowState(Qt::WindowMaximized);
    form.exec();
}

void TPreviewForm::Notice(const std::string& text) {
    notice_->setText(ToQt(text));
}

std::string TPreviewForm::StatusText() const {
    return FromQt(counter_->text());
}
std::string TPreviewForm::NoticeText() const {
    return FromQt(notice_->text());
}

void TPreviewForm::ShowPage(int index) {
    const int count = pages_.PageCount();
    if (count == 0) {
        counter_->setText(ToQt(TPreviewZoom::Counter(-1, 0)));
        PrevPageBtn->setEnabled(false);
        NextPageBtn->setEnabled(false);
        return;
    }
    current_ = std::clamp(index, 0, count - 1);
    counter_->setText(ToQt(TPreviewZoom::Counter(current_, count)));
    PrevPageBtn->setEnabled(current_ > 0);
    NextPageBtn->setEnabled(current_ < count - 1);
    Panel1->update();
}

void TPreviewForm::NextPageBtn1Click() {
    ShowPage(current_ + 1);
}
void TPreviewForm::PrevPageBtn1Click() {
    ShowPage(current_ - 1);
}

void TPreviewForm::ScaleCombo1Change() {
    if (zoom_.Choose(FromQt(ScaleCombo->currentText()))) Fit();
}

void TPreviewForm::Fit() {
    if (!ready_) return;
    const QSize client = ScrollBox1->viewport()->size();
    const QRect r = zoom_.PageRect(client, QSize(pages_.pageWidth, pages_.pageHeight),
                                   logicalDpiX(), pages_.pixelsPerInch);
    Panel1->setGeometry(r);
    ScrollBox1->widget()->resize(std::max(client.width(), r.right() + 40),
                                 std::max(client.height(), r.bottom() + 40));
    Panel1->update();
}

void TPreviewForm::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    Fit();
}

void TPreviewForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TPreviewForm::eventFilter(QObject* watched, QEvent* event) {
    // The fit follows the page view's own size, which the layout sets after the window's.
    if (watched == ScrollBox1->viewport() && event->type() == QEvent::Resize) Fit();
    if (watched == ScrollBox1->viewport() && event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        QScrollBar* bar = ScrollBox1->verticalScrollBar();
        bar->setValue(bar->value() + (wheel->angleDelta().y() > 0 ? -30 : 30));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TPreviewForm::PrintBtn1Click() {
    if (pages_.printingDisabled) return;
    if (!pages_.printerInUse) {
        // Said once as a message; the status bar keeps saying it.
        if (!printerNoticeGiven_)
            ui::Message(Str(1005), Str(1), ui::Icon::kInformation, ui::Buttons::kOk, {1005});
        printerNoticeGiven_ = true;
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(ToQt(pages_.title));
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted || pages_.PageCount() == 0) return;
    QPainter painter;
    if (!painter.begin(&printer)) {
        ui::Message(Str(1099), Str(1), ui::Icon::kWarning, ui::Buttons::kOk, {1099});
        return;
    }
    const QRect area = printer.pageLayout().paintRectPixels(printer.resolution());
    for (int p = 0; p < pages_.PageCount(); ++p) {
        if (p > 0) printer.newPage();
        painter.save();
        painter.scale(static_cast<double>(area.width()) / pages_.pageWidth,
                      static_cast<double>(area.height()) / pages_.pageHeight);
        pages_.Paint(painter, p);
        painter.restore();
    }
    painter.end();
}

void TPreviewForm::SpeedButtonClick() {
    if (pages_.pdfDisabled || pages_.PageCount() == 0) return;
    const std::string file = ChooserHook() ? ChooserHook()() : DefaultChooser(this);
    if (file.empty()) return;
    const size_t dot = file.find_last_of('.');
    const bool bitmap = dot != std::string::npos && ToLower(file.substr(dot)) == ".bmp";
    std::string error;
    if (!(bitmap ? pages_.SaveBitmap(file, error) : pages_.SavePdf(file, error)))
        ui::Message(error, Str(1), ui::Icon::kWarning, ui::Buttons::kOk);
}

}  // namespace corv
