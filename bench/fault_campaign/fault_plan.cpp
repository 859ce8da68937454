#include "fault_campaign/fault_plan.h"

#include "sending/order_statements.h"

namespace campaign {

using bench::FaultAction;
using bench::StatementKind;

void FaultPlan::SetOn(bool on) {
    std::lock_guard lock(mutex_);
    on_ = on;
}

bool FaultPlan::Draw(double chance) {
    return on_ && std::uniform_real_distribution<double>(0.0, 1.0)(random_) < chance;
}

bool FaultPlan::TakeLongFault() {
    const auto now = std::chrono::steady_clock::now();
    if (anyLong_ && now - lastLong_ < kLongFaultGap) return false;
    anyLong_ = true;
    lastLong_ = now;
    return true;
}

FaultAction FaultPlan::ForStatement(const bench::StatementSeen& s) {
    std::lock_guard lock(mutex_);
    const bool commit = s.kind == StatementKind::Commit;
    if (Draw(commit ? rates_.commitCutBefore : rates_.cutBefore)) return {FaultAction::Kind::CutBefore, {}};
    if (Draw(commit ? rates_.commitAnswerLost : rates_.cutAfter)) return {FaultAction::Kind::CutAfter, {}};
    if (s.holdsLocks) {
        if (Draw(rates_.lockedStall) && TakeLongFault()) {
            ++counts_.lockedStalls;
            return {FaultAction::Kind::Stall, kLongFault};
        }
        return {};
    }
    // The locking read itself is never held back: its time is the lock wait measured.
    if (s.kind != StatementKind::LockingRead && Draw(rates_.shortStall)) {
        std::uniform_int_distribution<long long> ms(kShortStallMin.count(), kShortStallMax.count());
        return {FaultAction::Kind::Stall, std::chrono::milliseconds(ms(random_))};
    }
    return {};
}

bool IsCleanUp(const QString& sql) {
    return bench::KindOf(sql.toStdString()) == StatementKind::Rollback ||
           sql.startsWith(QLatin1String(kRestoreSyncWait), Qt::CaseInsensitive);
}

TerminalFault FaultPlan::AtStatement(const QString& sql) {
    if (IsCleanUp(sql)) return TerminalFault::None;
    const StatementKind kind = bench::KindOf(sql.toStdString());
    std::lock_guard lock(mutex_);
    const bool commit = kind == StatementKind::Commit;
    if (!Draw(commit ? rates_.commitCrash : rates_.crash)) return TerminalFault::None;
    ++counts_.crashes;
    return std::bernoulli_distribution(0.5)(random_) ? TerminalFault::CrashAfter : TerminalFault::CrashBefore;
}

std::chrono::milliseconds FaultPlan::FreezeAfterLock() {
    std::lock_guard lock(mutex_);
    if (!Draw(rates_.freeze) || !TakeLongFault()) return std::chrono::milliseconds(0);
    ++counts_.freezes;
    return kLongFault;
}

bool FaultPlan::EndAfterTicket() {
    std::lock_guard lock(mutex_);
    if (!Draw(rates_.printEnd)) return false;
    ++counts_.printEnds;
    return true;
}

PlanCounts FaultPlan::Counts() const {
    std::lock_guard lock(mutex_);
    return counts_;
}

}  // namespace campaign
