#include <gtest/gtest.h>

#include <QApplication>
#include <QAudioDevice>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMediaDevices>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <cstdlib>

#include "core/Utility.h"
#include "platform/qt/QtUi.h"

namespace corv::qtui {
namespace {

// One application object for the process, on the offscreen platform unless told otherwise.
class QtEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
        static int argc = 1;
        static char name[] = "platform_qt_tests";
        static char* argv[] = {name, nullptr};
        app_ = new QApplication(argc, argv);
        RegisterQtUi();
    }
    void TearDown() override {
        delete app_;  // also lets the services go
        app_ = nullptr;
    }

  private:
    QApplication* app_ = nullptr;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

TMyMsgFormDialog* VisibleProgressBox() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = dynamic_cast<TMyMsgFormDialog*>(w); d && d->isVisible()) return d;
    return nullptr;
}

TEST(QtUi, ProgressBoxShowsStateAndScreenshot) {
    TMyMsgForm box;
    box.SetCaption("User index");
    box.SetMax(200);
    box.SetPosition(75);
    EXPECT_EQ(VisibleProgressBox(), nullptr);
    box.Show();
    TMyMsgFormDialog* dialog = VisibleProgressBox();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("User index"));
    EXPECT_EQ(dialog->MessageLabel()->text(),
              QStringLiteral("Processing database, please wait..."));
    EXPECT_EQ(dialog->Bar()->maximum(), 200);
    EXPECT_EQ(dialog->Bar()->value(), 75);
    {
        const char* env = std::getenv("CORV_SCREENSHOTS");
        const QString dir = QString::fromLocal8Bit(env && *env ? env : CORV_SCREENSHOT_DIR);
        QDir().mkpath(dir);
        QTest::qWait(50);
        EXPECT_TRUE(dialog->grab().save(dir + "/tmymsgform.png"));
    }

    box.SetMessage("Sch\xF6n: 150 of 200");  // Windows-1252 reaches Qt as Unicode
    box.SetPosition(150);
    EXPECT_EQ(dialog->MessageLabel()->text(), QString::fromUtf8("Sch\u00F6n: 150 of 200"));
    EXPECT_EQ(dialog->Bar()->value(), 150);

    box.Hide();
    EXPECT_EQ(VisibleProgressBox(), nullptr);
}

TEST(QtUi, ProgressBarKeepsOutOfRangeValuesAtTheEnds) {
    TMyMsgFormDialog dialog;
    dialog.SetRange(10, 20);
    dialog.SetPosition(50);
    EXPECT_EQ(dialog.Bar()->value(), 20);
    dialog.SetPosition(-5);
    EXPECT_EQ(dialog.Bar()->value(), 10);
    dialog.SetRange(30, 5);
    EXPECT_EQ(dialog.Bar()->maximum(), 30);
}

TEST(QtUi, TextConversionNormalisesLineEnds) {
    EXPECT_EQ(ToQt("a\r\nb\n\rc\rd\ne \xE4\x80"), QString::fromUtf8("a\nb\nc\nd\ne \u00E4\u20AC"));
    EXPECT_EQ(ToQt("a\r\n\r\nb"), QStringLiteral("a\n\nb"));
    EXPECT_EQ(FromQt(QString::fromUtf8("\u00E4\u20AC")), "\xE4\x80");
}

TEST(QtUi, MessageBoxCarriesRequest) {
    ui::MessageRequest request;
    request.text = "#-89 wrong file version\n\rcourse.cnt";
    request.caption = "Corvella";
    request.icon = ui::Icon::kError;
    request.buttons = ui::Buttons::kYesNo;
    auto box = BuildMessageBox(request);
    EXPECT_EQ(box->text(), QStringLiteral("#-89 wrong file version\ncourse.cnt"));
    EXPECT_EQ(box->windowTitle(), QStringLiteral("Corvella"));
    EXPECT_EQ(box->icon(), QMessageBox::Critical);
    EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(box->escapeButton(), box->button(QMessageBox::No));  // closing answers No

    QTimer::singleShot(0, [&] { box->button(QMessageBox::Yes)->click(); });
    EXPECT_EQ(RunMessageBox(*box, request), ui::kAnswerYes);
    QTimer::singleShot(0, [&] { box->reject(); });
    EXPECT_EQ(RunMessageBox(*box, request), ui::kAnswerNo);
}

TEST(QtUi, MessageWithoutDisplayAnswersAtOnce) {
    ASSERT_FALSE(CanAskUser());  // offscreen
    auto start = std::chrono::steady_clock::now();
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(ui::Message("Delete?", "Corvella", ui::Icon::kQuestion, ui::Buttons::kYesNo),
              ui::kAnswerNo);
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("Delete?"), std::string::npos);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST(QtUi, SoundWithoutDeviceFails) {
    if (!QMediaDevices::audioOutputs().isEmpty()) GTEST_SKIP() << "a sound device exists";
    EXPECT_EQ(ui::Sounds().Play("Click.wav"), ui::SoundResult::kFailed);
}

TEST(QtUi, CloseProgramWindowByTitleAndClass) {
    QWidget window;
    window.setWindowTitle(QStringLiteral("Hollin Meter"));
    window.show();
    EXPECT_FALSE(CloseProgramWindow("", "Other"));
    EXPECT_FALSE(CloseProgramWindow("TTutorWindow", "Hollin Meter"));
    EXPECT_TRUE(CloseProgramWindow("QWidget", "Hollin Meter"));
    QCoreApplication::processEvents();
    EXPECT_FALSE(window.isVisible());
}

TEST(QtUi, BringToFrontRestoresMinimizedWindow) {
    QWidget window;
    window.setWindowTitle(QStringLiteral("Corvella"));
    window.showMinimized();
    BringToFront(&window);
    EXPECT_FALSE(window.isMinimized());
    EXPECT_TRUE(window.isVisible());
}

TEST(QtUi, RunStartsDetachedProgramInFolder) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string folder = dir.path().toStdString();
    ASSERT_TRUE(RunProgram("/bin/sh", "-c \"echo started > out.txt\"", folder));
    QString out = dir.filePath(QStringLiteral("out.txt"));
    for (int i = 0; i < 250 && !QFileInfo(out).size(); ++i) QTest::qWait(20);
    EXPECT_TRUE(QFileInfo(out).size() > 0);
    EXPECT_FALSE(RunProgram("/no/such/program", "", ""));
}

}  // namespace
}  // namespace corv::qtui
