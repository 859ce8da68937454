#include "sending/cups_answers.h"

#include <algorithm>

namespace sending {
namespace {

// IPP's job-state values.
std::optional<JobPhase> PhaseOf(int state) {
    switch (state) {
        case 3: return JobPhase::Pending;
        case 4: return JobPhase::Held;
        case 5: return JobPhase::Processing;
        case 6: return JobPhase::Stopped;
        case 7: return JobPhase::Canceled;
        case 8: return JobPhase::Aborted;
        case 9: return JobPhase::Completed;
        default: return std::nullopt;
    }
}

constexpr int kPrinterProcessing = 4;
constexpr int kPrinterStopped = 5;

}  // namespace

QStringList ReasonWords(const std::vector<QByteArray>& keywords) {
    QStringList words;
    for (const QByteArray& k : keywords) {
        const QString word = QString::fromUtf8(k);
        if (!word.isEmpty() && word != QLatin1String("none") && !words.contains(word)) words << word;
    }
    return words;
}

JobState JobFromAnswer(const JobAnswer& answer, int trabajo) {
    JobState state;
    state.answered = true;
    state.reasons = ReasonWords(answer.reasons);
    // A count below zero says nothing was handed over.
    state.hojas = answer.sheets ? std::max(0, *answer.sheets) : 0;
    const std::optional<JobPhase> phase = answer.state ? PhaseOf(*answer.state) : std::nullopt;
    if (phase) {
        state.phase = *phase;
    } else {
        state.answered = false;
        state.error = QStringLiteral("el trabajo %1 no dice en qué estado está").arg(trabajo);
    }
    return state;
}

QueueState QueueFromAnswer(const QueueAnswer& answer) {
    QueueState state;
    state.answered = true;
    state.stopped = answer.state == kPrinterStopped;
    state.processing = answer.state == kPrinterProcessing;
    state.accepting = answer.accepting.value_or(true);
    state.reasons = ReasonWords(answer.reasons);
    if (answer.message) state.message = QString::fromUtf8(*answer.message);
    return state;
}

}  // namespace sending
