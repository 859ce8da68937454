#include "widgets/combo_list.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFontInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QStyle>
#include <algorithm>
#include <vector>

#include "widgets/caption_fit.h"
#include "widgets/screen_scale.h"

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

void FitListEntries(QComboBox* combo) {
    QAbstractItemView* list = combo->view();
    // The list opens at least as wide as its combo; its entries lose the
    // item margins and, when the list scrolls, the scroll bar.
    const int room = combo->width() - list->style()->pixelMetric(QStyle::PM_ScrollBarExtent) - 12;
    std::vector<Caption> entries;
    for (int i = 0; i < combo->count(); ++i)
        entries.push_back({combo->itemText(i), {room, kAnyHeight}});
    QFont face = combo->font();
    const int field = QFontInfo(face).pixelSize();
    const int least = std::min(field, MinimumTextPixels());
    const int most = std::max(field, PixelsForLines(TouchMinimum(), 1, face));
    const QFont fitted = FitCaptions(entries, 1, least, most, face).Applied(face);
    if (list->font() != fitted) list->setFont(fitted);
}

namespace {

class SwallowEnter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

void PickOnlyFromList(QComboBox* combo) {
    if (QLineEdit* edit = combo->lineEdit()) edit->installEventFilter(new SwallowEnter(combo));
}

namespace {
const char* const kLimit = "pedidosTypingLimit";
}  // namespace

int TypedTextLimit(const QComboBox* combo) {
    const QLineEdit* field = combo->lineEdit();
    return field == nullptr ? 0 : field->property(kLimit).toInt();
}

void LimitTypedText(QComboBox* combo, int chars) {
    QLineEdit* field = combo->lineEdit();
    if (field == nullptr) return;
    const bool connected = field->property(kLimit).isValid();
    field->setProperty(kLimit, chars);
    if (connected) return;
    // textEdited comes from typing only, never from a pick or from the program.
    QObject::connect(field, &QLineEdit::textEdited, field, [field](const QString& text) {
        const int limit = field->property(kLimit).toInt();
        if (limit <= 0 || text.size() <= limit) return;
        const int cursor = std::min(field->cursorPosition(), limit);
        field->setText(text.left(limit));
        field->setCursorPosition(cursor);
    });
}

}  // namespace widgets
