#pragma once
// The output of every benchmark program: one line per figure,
//   NAME value=V floor=F ratio=R goal=G
// where the ratio is value / floor (floor / value for a throughput), so a
// lower ratio is always better, and G is the highest ratio that meets the
// goal ("-" for a figure shown for information). Correctness checks print
//   CHECK NAME ok|FAILED detail
// and a failed one makes the program end with a non-zero status.
#include <QString>
#include <optional>

namespace bench {

enum class Better { Lower, Higher };

struct Figure {
    QString name;
    double value = 0;
    double floor = 0;
    std::optional<double> goal;  // nothing: shown for information only
    Better better = Better::Lower;
};

double Ratio(const Figure& f);
QString FigureLine(const Figure& f);
// Prints the figure's line on standard output at once.
void Print(const Figure& f);
// Shorthands for the two kinds of figure.
void PrintTime(const QString& name, double value, double floor, std::optional<double> goal);
void PrintRate(const QString& name, double value, double floor, std::optional<double> goal);

// A figure that is a count or a plain measure, with no floor to compare it
// with and no goal ratio: "NAME value=V" with `decimals` decimals (not
// counted by the total line).
void PrintCount(const QString& name, double value, int decimals = 0);

// A line of explanation ("# text").
void Note(const QString& text);

// Prints a CHECK line; a failed check is remembered for ExitCode().
bool Check(const QString& name, bool ok, const QString& detail = QString());
// 0, or 3 when a check failed.
int ExitCode();

// What a figure line says about its goal: nothing for a line that is no
// figure or has no goal.
struct GoalOutcome {
    bool within = false;
};
std::optional<GoalOutcome> ParseGoal(const QString& line);

// "N of M within goal".
QString TotalLine(int within, int counted);

}  // namespace bench
