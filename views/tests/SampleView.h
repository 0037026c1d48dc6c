#pragma once
// A small view as the real ones are built: a storage form whose panel it borrows in Setup,
// its own Start button routed to the storage-form handler.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "views/BookForm.h"
#include "views/FormView.h"
#include "views/StorageForm.h"

namespace corv::testviews {

class TSampleViewStg : public TStorageForm {
  public:
    TSampleViewStg() {
        // Children of a borrowed panel land on the book at their own positions (+6).
        panel = Make<QWidget>(this, "SamplePanel");
        panel->setGeometry(0, 0, 800, 600);
        auto* heading = Make<QLabel>(panel, "HeadingLbl");
        heading->setText(QStringLiteral("Choose what to practise today"));
        heading->setGeometry(196, 74, 560, 30);
        edit = Make<QLineEdit>(panel, "AnswerEdit");
        edit->setGeometry(196, 124, 300, 28);
        start = Make<QPushButton>(panel, "StartBtn");
        start->setText(QStringLiteral("Start"));
        start->setGeometry(196, 174, 120, 34);
    }
    QWidget* panel;
    QLineEdit* edit;
    QPushButton* start;
};

class TSampleView : public TCustomBookView {
  public:
    void Setup() override {
        TCustomBookView::Setup();
        ++setups;
        stg = std::make_unique<TSampleViewStg>();
        MainWindow()->BorrowChildren(stg->panel);
        if (formKeys) MainWindow()->HookFormKeyPress(this);
        QObject::connect(stg->start, &QPushButton::clicked, [this] {
            if (onStart)
                onStart();
            else
                StorageButtonClick(stg->start);
        });
    }
    void Teardown() override {
        if (MainWindow()->FormKeyTarget() == this) MainWindow()->HookFormKeyPress(nullptr);
        TCustomBookView::Teardown();
        ++teardowns;
        stg.reset();
    }
    bool IsRefused() override { return refused; }
    void ButtonClick(QObject* sender) override {
        clicked.push_back(sender ? sender->objectName().toStdString() : "");
        TCustomBookView::ButtonClick(sender);
    }
    void FormKeyPress(QObject*, char& key) override {
        if (formKeys) formKeys(key);
    }

    std::unique_ptr<TSampleViewStg> stg;
    std::function<void()> onStart;
    std::function<void(char&)> formKeys;
    std::vector<std::string> clicked;
    bool refused = false;
    int setups = 0;
    int teardowns = 0;
};

}  // namespace corv::testviews
