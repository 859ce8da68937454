#pragma once
// The list of an editable combo box, filled without touching its text: a Qt
// combo box would otherwise show the first item as soon as it is added, while
// the screens expect the typed or cleared text to stay until the waiter picks.
#include <QString>

class QComboBox;

namespace widgets {

// Empties the list (and the text with it).
void ClearList(QComboBox* combo);

// Appends `item` to the list; the combo's text stays as it was.
void AddListItem(QComboBox* combo, const QString& item);

// Draws the entries of the list as large as its width allows for the longest
// of them, on one line, never below the least size that reads, never cut
// (narrowed there if they must be), and at least as large as the field's own
// text. Called once the list is filled.
void FitListEntries(QComboBox* combo);

// Makes "activated" mean "picked from the list": Enter in the typing field
// is swallowed, so a typed text is never taken for a pick (Qt would report a
// typed text that matches an entry as activated).
void PickOnlyFromList(QComboBox* combo);

// Text typed into the combo stops at `chars` characters (0: no limit); an
// item picked from the list is shown whole, however long (it is cut only
// where it is stored, and prints whole).
void LimitTypedText(QComboBox* combo, int chars);
// The limit LimitTypedText set (0: none).
int TypedTextLimit(const QComboBox* combo);

}  // namespace widgets
