// A work on a thread of its own while the window goes on: it keeps drawing
// and its timers firing, the notice shows only after the delay, centred, and
// goes with the work, no input or close reaches the window meanwhile, and
// what the work throws comes out on the caller.
#include "widgets/busy_work.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <future>
#include <stdexcept>

namespace {

class PaintCount : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

class BusyWorkTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.resize(600, 400);  // too narrow for the notice's text on one line
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        button.setFocus();
    }
    QLabel* Notice() { return window.findChild<QLabel*>(widgets::kBusyNoticeName); }
    void PressButton() {  // by mouse and by key
        QTest::mouseClick(&button, Qt::LeftButton);
        QTest::keyClick(&button, Qt::Key_Space);
    }
    QWidget window;
    QPushButton button{"ENVIAR", &window};
    QSignalSpy clicks{&button, &QPushButton::clicked};
};

TEST_F(BusyWorkTest,
       TheWindowGoesOnWithTheNoticeOverItAfterTheDelayAndTakesNoInputUntilTheWorkEnds) {
    std::promise<void> release;
    PaintCount painted;
    window.installEventFilter(&painted);
    struct Tick {
        qint64 ms;
        QString notice;  // its text while shown
        QRect where, inside;
    };
    std::vector<Tick> ticks;
    int paintsBefore = -1;
    bool closed = true;
    QElapsedTimer clock;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const QLabel* n = Notice();
        const bool shown = n && n->isVisible();
        ticks.push_back({clock.elapsed(), shown ? n->text() : "", shown ? n->geometry() : QRect(),
                         window.rect()});
        if (clock.elapsed() >= 300 && paintsBefore < 0) {
            paintsBefore = painted.paints;
            window.update();
            PressButton();
            closed = window.close();
            window.resize(1000, 700);
        } else if ((paintsBefore >= 0 && painted.paints > paintsBefore && clock.elapsed() >= 450) ||
                   clock.elapsed() >= 5000) {  // the checks below then fail
            release.set_value();
            ticker.stop();
        }
    });
    ticker.start(20);
    clock.start();
    widgets::RunBusy(&window, "Enviando el pedido...",
                     [done = release.get_future().share()] { done.wait(); });

    ASSERT_GE(ticks.size(), 10u);
    for (const Tick& t : ticks) {
        SCOPED_TRACE(t.ms);
        if (t.ms < 150) {
            EXPECT_EQ(t.notice, "");  // a quick work shows nothing
        } else if (t.ms >= 300) {
            EXPECT_EQ(t.notice, "Enviando el pedido...");
            EXPECT_LE((t.where.center() - t.inside.center()).manhattanLength(), 2);
            EXPECT_TRUE(t.inside.contains(t.where)) << t.where.width();
        }
    }
    EXPECT_EQ(ticks.back().inside.width(), 1000);  // and centred again after the resize
    EXPECT_GT(painted.paints, paintsBefore);
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_FALSE(closed);
    EXPECT_EQ(Notice(), nullptr);
    PressButton();  // once the work is over the window takes input again
    EXPECT_EQ(clicks.count(), 2);
}

struct PowerCut {};

TEST_F(BusyWorkTest, WhatTheWorkThrowsComesOutOnTheCallerAndTheWindowTakesInputAgain) {
    const std::vector<std::pair<const char*, std::function<void()>>> works = {
        {"a runtime error", [] { throw std::runtime_error("sin servidor"); }},
        {"a type of its own, once the notice is up",
         [] {
             std::this_thread::sleep_for(std::chrono::milliseconds(300));
             throw PowerCut{};
         }},
    };
    for (const auto& [name, work] : works) {
        SCOPED_TRACE(name);
        try {
            widgets::RunBusy(&window, "Enviando el pedido...", work);
            ADD_FAILURE() << "nothing was thrown";
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), "sin servidor");
        } catch (const PowerCut&) {
        }
        EXPECT_EQ(Notice(), nullptr);
        PressButton();
    }
    EXPECT_EQ(clicks.count(), 4);
}

}  // namespace
