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

}  // namespace widgets
