#include "widgets/combo_list.h"

#include <QComboBox>
#include <QSignalBlocker>

namespace widgets {

void ClearList(QComboBox* combo) {
    const QSignalBlocker quiet(combo);
    combo->clear();
    combo->setEditText(QString());
}

void AddListItem(QComboBox* combo, const QString& item) {
    const QSignalBlocker quiet(combo);
    const QString text = combo->currentText();
    combo->addItem(item);
    if (combo->currentIndex() != -1 || combo->currentText() != text) {
        combo->setCurrentIndex(-1);
        combo->setEditText(text);
    }
}

}  // namespace widgets
