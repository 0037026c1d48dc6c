#include "shell/lessons/LessonDone.h"

#include <QLabel>
#include <QPushButton>

#include "core/Localize.h"
#include "data/User.h"
#include "data/keyboard/KeyData.h"
#include "platform/qt/QtText.h"
#include "shell/lessons/KeyboardPicture.h"
#include "views/Art.h"
#include "views/BookForm.h"

namespace corv {

TLessonDone::TLessonDone() = default;

TLessonDone::~TLessonDone() {
    CloseBeforeDestroy();
}

void TLessonDone::Setup() {
    TCustomBookView::Setup();
    stg_ = std::make_unique<TLessonViewStg>();
    TLessonViewStg& s = *stg_;
    SetButtonSet(0);
    ShowMenu = false;
    s.LessonDonePanel->move(s.LessonDonePanel->x(), 1);

    Keyboard = new TKeyboardPicture(s.LessonDonePanel);
    Keyboard->setObjectName(QStringLiteral("KeyboardPicture"));
    Keyboard->Background = art::KeyboardPaper();
    Keyboard->setGeometry(PlaceOnBook(140, 150, 500, 200));
    TUser* user = CurrentUser();
    const std::string learnt =
        user && !user->keyProgression.empty() ? user->KeysUpToLevel(user->keyLevel) : std::string();
    Keyboard->MarkKeys(CurrentLayout(), learnt);
    Keyboard->raise();
    Keyboard->show();

    s.MessageTitleLbl->setText(ToQt(Str(1802)));
    s.MessageText->setText(ToQt(Str(1727)));
    s.NextLes->setText(ToQt(Str(1803)));
    s.NextLessonNameLbl->setText(ToQt(NextLessonTitle));
    if (LastLesson) {
        s.NextLessonNameLbl->setText(ToQt(Str(1728)));
        s.NextLes->setText(QString());
        s.MessageTitleLbl->setText(ToQt(Str(1726)));
        s.MessageText->setText(ToQt(Str(1729)));
        Keyboard->MarkKeys(CurrentLayout(), learnt);
    }
    s.StartBtn->setText(ToQt(Str(609)));
    s.CancelBtn->setText(ToQt(Str(88)));
    QObject::connect(s.StartBtn, &QPushButton::clicked,
                     [this, b = s.StartBtn] { StorageButtonClick(b); });
    QObject::connect(s.CancelBtn, &QPushButton::clicked,
                     [this, b = s.CancelBtn] { StorageButtonClick(b); });
    MainWindow()->BorrowChildren(s.LessonDonePanel);
}

void TLessonDone::Teardown() {
    TCustomBookView::Teardown();
    Keyboard = nullptr;
    stg_.reset();
}

}  // namespace corv
