#include "support/figures.h"

#include <QRegularExpression>
#include <QStringList>
#include <cmath>
#include <cstdio>

namespace bench {
namespace {

bool failedCheck = false;

QString Number(double v) {
    if (!std::isfinite(v)) return QStringLiteral("nan");
    const double a = std::fabs(v);
    const int decimals = a >= 100 ? 1 : a >= 1 ? 3 : 4;
    return QString::number(v, 'f', decimals);
}

void Out(const QString& line) {
    std::fputs(line.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

}  // namespace

double Ratio(const Figure& f) {
    if (f.better == Better::Lower) return f.floor != 0 ? f.value / f.floor : NAN;
    return f.value != 0 ? f.floor / f.value : NAN;
}

QString FigureLine(const Figure& f) {
    return QStringLiteral("%1 value=%2 floor=%3 ratio=%4 goal=%5")
        .arg(f.name, Number(f.value), Number(f.floor), QString::number(Ratio(f), 'f', 2),
             f.goal ? QString::number(*f.goal, 'f', 2) : QStringLiteral("-"));
}

void Print(const Figure& f) { Out(FigureLine(f)); }

void PrintTime(const QString& name, double value, double floor, std::optional<double> goal) {
    Print({name, value, floor, goal, Better::Lower});
}

void PrintRate(const QString& name, double value, double floor, std::optional<double> goal) {
    Print({name, value, floor, goal, Better::Higher});
}

void PrintCount(const QString& name, double value, int decimals) {
    Out(QStringLiteral("%1 value=%2").arg(name, QString::number(value, 'f', decimals)));
}

void Note(const QString& text) { Out(QStringLiteral("# ") + text); }

bool Check(const QString& name, bool ok, const QString& detail) {
    if (!ok) failedCheck = true;
    Out(QStringLiteral("CHECK %1 %2%3")
            .arg(name, ok ? QStringLiteral("ok") : QStringLiteral("FAILED"),
                 detail.isEmpty() ? QString() : QStringLiteral(" ") + detail));
    return ok;
}

int ExitCode() { return failedCheck ? 3 : 0; }

std::optional<GoalOutcome> ParseGoal(const QString& line) {
    static const QRegularExpression kLine(QStringLiteral(
        R"(^\S+ value=\S+ floor=\S+ ratio=(\S+) goal=(\S+)$)"));
    const QRegularExpressionMatch m = kLine.match(line.trimmed());
    if (!m.hasMatch()) return std::nullopt;
    bool goalOk = false;
    const double goal = m.captured(2).toDouble(&goalOk);
    if (!goalOk) return std::nullopt;
    bool ratioOk = false;
    const double ratio = m.captured(1).toDouble(&ratioOk);
    // A ratio that could not be measured does not meet its goal.
    return GoalOutcome{ratioOk && std::isfinite(ratio) && ratio <= goal + 1e-9};
}

QString TotalLine(int within, int counted) {
    return QStringLiteral("%1 of %2 within goal").arg(within).arg(counted);
}

}  // namespace bench
