// startup: the real `pedidos` binary started from its own program folder on
// an X server (DISPLAY), watched from outside: from exec until the start-up
// form "Acceso al Sistema." is mapped, and until the order screen is mapped
// after a real mouse click on "Aceptar". Floor: a bare Qt program that
// connects, asks once and shows one empty window, started the same way.
#include <signal.h>
#include <spawn.h>
#include <fcntl.h>
#include <sys/wait.h>

#include <QCoreApplication>
#include <QFile>

#include "startup/x_watch.h"
#include "support/bench_env.h"
#include "support/figures.h"
#include "support/terminal.h"
#include "support/warnings_log.h"
#include "widgets/twips.h"

extern char** environ;

namespace {

using namespace std::chrono_literals;
constexpr int kRuns = 10;

pid_t Spawn(const QString& program) {
    const QByteArray path = program.toLocal8Bit();
    char* argv[] = {const_cast<char*>(path.constData()), nullptr};
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    if (posix_spawn(&pid, path.constData(), &files, nullptr, argv, environ) != 0) pid = 0;
    posix_spawn_file_actions_destroy(&files);
    return pid;
}

void Stop(pid_t pid) {
    if (pid <= 0) return;
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

struct TerminalRun {
    double form = NAN, orderScreen = NAN;
    int clicks = 0;
};

// The real terminal: exec → start-up form → click "Aceptar" → order screen.
TerminalRun RunTerminal(bench::XWatch& x, const QString& binary) {
    TerminalRun run;
    x.Drain();
    const bench::Clock::time_point start = bench::Clock::now();
    const pid_t pid = Spawn(binary);
    const std::optional<bench::MappedWindow> form = x.WaitMapped(QStringLiteral("Acceso al Sistema."), 30s);
    if (form) {
        run.form = bench::Ms(start, form->when);
        // The centre of "Aceptar" (its place in twips on the form), at the
        // factor the terminal drew the form at for this screen (the form is
        // 10440 twips wide at factor 1).
        widgets::SetLayoutScale(form->width * double(widgets::kTwipsPerPixel) / 10440);
        const int cx = widgets::Twips(6720 + 1815 / 2), cy = widgets::Twips(4920 + 540 / 2);
        for (run.clicks = 1; run.clicks <= 10; ++run.clicks) {
            x.Click(*form, cx, cy);
            if (const auto screen = x.WaitMapped(QStringLiteral("Vandrel System"), 1500ms)) {
                run.orderScreen = bench::Ms(start, screen->when);
                break;
            }
        }
    }
    Stop(pid);
    return run;
}

double RunBare(bench::XWatch& x) {
    x.Drain();
    const bench::Clock::time_point start = bench::Clock::now();
    const pid_t pid = Spawn(QStringLiteral(BARE_WINDOW_BINARY));
    const std::optional<bench::MappedWindow> w = x.WaitMapped(QStringLiteral("bench bare window"), 30s);
    Stop(pid);
    return w ? bench::Ms(start, w->when) : NAN;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    bench::RouteWarningsToLog();
    bench::XWatch x;
    QString why;
    if (!bench::Check(QStringLiteral("startup_x_server"), x.Ok(&why), why)) return bench::ExitCode();
    qputenv("QT_QPA_PLATFORM", "xcb");
    bench::ProgramFolder folder(bench::PrinterQueue());
    const QString binary = folder.Path() + QStringLiteral("/pedidos");
    QFile::copy(QStringLiteral(PEDIDOS_BINARY), binary);

    RunTerminal(x, binary);  // warm-up: the page cache and fontconfig's
    RunBare(x);
    std::vector<double> form, screen, bare;
    int extraClicks = 0;
    for (int r = 0; r < kRuns; ++r) {
        const TerminalRun t = RunTerminal(x, binary);
        form.push_back(t.form);
        screen.push_back(t.orderScreen);
        extraClicks += t.clicks - 1;
        bare.push_back(RunBare(x));
    }
    const bool allShown = !std::isnan(bench::Mean(form)) && !std::isnan(bench::Mean(screen)) &&
                          !std::isnan(bench::Mean(bare));
    bench::Check(QStringLiteral("startup_windows_shown"), allShown,
                 QStringLiteral("%1 runs each; clicks on Aceptar that had to be repeated: %2").arg(kRuns).arg(extraClicks));
    const double floor = bench::Median(bare);
    bench::PrintTime(QStringLiteral("startup_form_ms"), bench::Median(form), floor, 1.5);
    bench::PrintTime(QStringLiteral("startup_order_screen_ms"), bench::Median(screen), floor, 1.5);
    return bench::ExitCode();
}
