#pragma once
// What the waiter is told when ENVIAR could not store the order, and when a
// send whose outcome was lost is settled. The program goes on, so each
// message says what happened to the order and what to do next.
#include <QString>

#include "sending/order_sender.h"
#include "sending/send_order.h"

namespace sending {

// The text for a send that did not commit (not `r.Stored()`) of the order
// for table `mesa`; lines are joined by CR, as every message of the program.
QString SendFailureMessage(const SendResult& r, const QString& mesa);

// Shows SendFailureMessage in the common message box.
void ReportSendFailure(const SendResult& r, const QString& mesa);

// A send in doubt that the server says was stored: its tickets print now.
QString StoredAfterAllMessage(const SettleReport& r);
// A send of an earlier run that was not stored: the order, to take again.
QString NotStoredMessage(const JournalEntry& e);
// The installation cannot tell whether the send in doubt was stored.
QString CannotTellMessage(const SettleReport& r);
// The server could not be asked whether the send in doubt was stored.
QString NoAnswerMessage(const SettleReport& r);
// SALIR while that is so: leave anyway? The next start asks again.
QString LeaveAnywayQuestion(const SettleReport& r);
// The journal left by an earlier run could not be read; `keptAs`: where the
// file is kept now for a person to read.
QString UnreadableJournalMessage(const QString& keptAs, const QString& error);
// The same for the list of tickets handed to the printer and not yet printed.
QString UnreadableTicketsMessage(const QString& keptAs, const QString& error);
// The journal held a send to another server or database (`e.servidor`,
// `e.base`): it is not settled here; the waiter checks at that till.
QString ForeignJournalMessage(const JournalEntry& e);
// Another program Pedidos holds this terminal's journals in `folder`.
QString OtherProgramMessage(const QString& folder);
// The journals' `folder` is not this user's own (`reason`): nothing in it is
// used, and orders are sent without a journal.
QString RefusedFolderMessage(const QString& folder, const QString& reason);
// The lock file at `path` is not a file of this user's (`reason`): it is
// left as it is, and nothing keeps a second program off the journals.
QString RefusedLockMessage(const QString& path, const QString& reason);

}  // namespace sending
