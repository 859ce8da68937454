#pragma once
// A piece of work that may keep the server waiting (a send held up behind
// another terminal's ticket number) runs on a thread of its own while the
// window goes on drawing itself; after a moment a notice says what is going
// on, and the window takes no finger, click or key until the work is over.
#include <QString>
#include <functional>

class QWidget;

namespace widgets {

// How long a work may run before its notice shows: a quick send shows none.
inline constexpr int kBusyNoticeDelayMs = 200;
// The notice's objectName.
inline constexpr char kBusyNoticeName[] = "AvisoOcupado";

// Runs `work` on a worker thread and returns when it has ended. Meanwhile the
// calling (user-interface) thread runs a local event loop: paint and timer
// events go on; every touch, click and key of the application (on `window`,
// its pop-ups, any other window) is swallowed, and closing `window` is
// refused. After kBusyNoticeDelayMs a notice with `text` shows centred over
// `window`, gone once the work ends. An exception thrown by `work` is
// rethrown here, on the calling thread.
//
// `work` must not touch any widget nor show any dialog (both belong to the
// user-interface thread), and nothing else may use what it uses while it runs.
void RunBusy(QWidget* window, const QString& text, const std::function<void()>& work);

// True while a RunBusy is under way (its local loop may still run timers and
// posted calls: those that would show a dialog wait for it to end).
bool Busy();

}  // namespace widgets
