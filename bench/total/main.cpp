// The last line of a benchmark run: reads every program's output on
// standard input and prints "N of M within goal" over the figures that have
// a goal.
#include <QString>
#include <cstdio>
#include <iostream>
#include <string>

#include "support/figures.h"

int main() {
    int within = 0, counted = 0;
    for (std::string line; std::getline(std::cin, line);) {
        const std::optional<bench::GoalOutcome> g = bench::ParseGoal(QString::fromStdString(line));
        if (!g) continue;
        ++counted;
        if (g->within) ++within;
    }
    std::printf("%s\n", bench::TotalLine(within, counted).toUtf8().constData());
    return 0;
}
