#include "widgets/busy_work.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QLabel>
#include <QPalette>
#include <QPointer>
#include <QScopeGuard>
#include <QTimer>
#include <algorithm>
#include <exception>
#include <thread>

#include "widgets/look.h"
#include "widgets/plain_text.h"
#include "widgets/screen_scale.h"

namespace widgets {
namespace {

// What a person does to a window: these wait until the work is over.
bool IsUserInput(QEvent::Type type) {
    switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TouchCancel:
        case QEvent::TabletPress:
        case QEvent::TabletRelease:
        case QEvent::TabletMove:
        case QEvent::Gesture:
        case QEvent::NativeGesture:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::InputMethod:
        case QEvent::ContextMenu:
            return true;
        default:
            return false;
    }
}

// The notice: large white letters on black, framed, in the middle of the
// window; a text wider than the window is broken into lines.
class Notice : public QLabel {
public:
    Notice(QWidget* window, const QString& text) : QLabel(text, window) {
        setObjectName(QLatin1String(kBusyNoticeName));
        MakePlain(this);
        setFont(SansSerif(24, true));
        setAlignment(Qt::AlignCenter);
        setFrameStyle(QFrame::Box | QFrame::Plain);
        setLineWidth(std::max(2, Scaled(3)));
        setMargin(Scaled(28));
        SetBackColor(this, Qt::black);
        QPalette pal = palette();
        pal.setColor(QPalette::WindowText, Qt::white);
        setPalette(pal);
        Place();
        raise();
        show();
    }
    // Sizes the notice to its text, at most the window's width, and centres it.
    void Place() {
        const QWidget* window = parentWidget();
        setWordWrap(false);
        QSize size = sizeHint();
        if (size.width() > window->width()) {
            setWordWrap(true);
            size = {window->width(), heightForWidth(window->width())};
        }
        setGeometry((window->width() - size.width()) / 2, (window->height() - size.height()) / 2,
                    size.width(), size.height());
    }
};

// Installed on the application while the work runs: swallows every input, not
// only the window's (its pop-ups are windows of their own, and at start-up the
// access form is still up beside it: a second press there would build the
// screen again inside its own loading), refuses to close the window, and
// keeps the notice in the middle when the window changes size.
class InputHold : public QObject {
public:
    explicit InputHold(QWidget* window) : window_(window) {
        QCoreApplication::instance()->installEventFilter(this);
    }
    ~InputHold() override { QCoreApplication::instance()->removeEventFilter(this); }

    void SetNotice(Notice* notice) { notice_ = notice; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_) {
            if (event->type() == QEvent::Close) {
                event->ignore();
                return true;
            }
            if (event->type() == QEvent::Resize && notice_) notice_->Place();
        }
        return IsUserInput(event->type());
    }

private:
    QPointer<QWidget> window_;
    QPointer<Notice> notice_;
};

}  // namespace

namespace {
int running = 0;  // RunBusy calls under way (the user-interface thread's only)
}  // namespace

bool Busy() { return running > 0; }

void RunBusy(QWidget* window, const QString& text, const std::function<void()>& work) {
    ++running;
    const auto done = qScopeGuard([] { --running; });
    QEventLoop loop;
    const QPointer<QWidget> over(window);
    InputHold hold(window);
    // A child of the window: gone with it, should the window go first.
    QPointer<Notice> notice;
    QTimer delay;
    delay.setSingleShot(true);
    QObject::connect(&delay, &QTimer::timeout, &loop, [&] {
        if (!over) return;
        notice = new Notice(over, text);
        hold.SetNotice(notice);
    });
    delay.start(kBusyNoticeDelayMs);

    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        // Posted: the loop ends on its own thread, also when the work ended
        // before the loop started.
        QMetaObject::invokeMethod(
            &loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
    });
    loop.exec();
    // Already over, unless the application was told to quit meanwhile (its
    // nested loops then end at once): the work is waited for all the same.
    worker.join();
    delay.stop();
    delete notice.data();
    if (failure) std::rethrow_exception(failure);
}

}  // namespace widgets
