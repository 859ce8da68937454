// The floor of the start-up and memory figures: a bare Qt program that
// opens one connection and asks the server one question, then shows one
// empty window. Nothing of the terminal is linked in.
//   bench_bare_window [--memory]
// Shown and settled, it prints its peak resident memory with --memory and
// ends; without, it stays until it is killed (the start-up bench watches it).
#include <mysql.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstring>

namespace {

void ConnectAndAsk() {
    const char* host = std::getenv("PEDIDOS_BENCH_DB_HOST");
    const char* db = std::getenv("PEDIDOS_BENCH_DB_NAME");
    MYSQL* m = mysql_init(nullptr);
    mysql_options(m, MYSQL_SET_CHARSET_NAME, "utf8mb4");
    if (!mysql_real_connect(m, host ? host : "127.0.0.7", "admin", "tormbel5831", db ? db : "restaurante",
                            3306, nullptr, 0)) {
        std::fprintf(stderr, "bare window: cannot connect: %s\n", mysql_error(m));
        std::exit(2);
    }
    if (mysql_query(m, "select now() as fecha_mysql") == 0) mysql_free_result(mysql_store_result(m));
    mysql_close(m);
}

long StatusKb(const char* key) {
    std::FILE* f = std::fopen("/proc/self/status", "r");
    char line[256];
    long kb = 0;
    const std::size_t n = std::strlen(key);
    while (f && std::fgets(line, sizeof line, f))
        if (std::strncmp(line, key, n) == 0) std::sscanf(line + n, "%ld", &kb);
    if (f) std::fclose(f);
    return kb;
}

}  // namespace

int main(int argc, char** argv) {
    const bool memory = argc > 1 && std::strcmp(argv[1], "--memory") == 0;
    QApplication app(argc, argv);
    ConnectAndAsk();
    QWidget window;
    window.setWindowTitle(QStringLiteral("bench bare window"));
    window.resize(696, 390);
    window.show();
    if (memory) {
        QTimer::singleShot(200, [] {
            std::printf("peak_rss_kb=%ld anon_kb=%ld file_kb=%ld\n", StatusKb("VmHWM:"), StatusKb("RssAnon:"),
                        StatusKb("RssFile:"));
            QApplication::quit();
        });
    }
    return QApplication::exec();
}
