#include "widgets/touch_keys.h"

#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

#include "widgets/look.h"
#include "widgets/screen_scale.h"

namespace widgets {
namespace {

// A key's side in design pixels, and its caption's size in design points.
constexpr int kDesignKeySide = 52;
constexpr int kDesignSpacing = 6;
constexpr double kKeyPoints = 14;

}  // namespace

TouchKeys::TouchKeys(dialogs::Keys kind, QLineEdit* field, QWidget* parent)
    : QWidget(parent), field_(field), grid_(new QGridLayout(this)) {
    grid_->setContentsMargins(0, 0, 0, 0);
    grid_->setSpacing(Scaled(kDesignSpacing));
    setFont(SansSerif(kKeyPoints, true));

    if (kind == dialogs::Keys::Numbers) {
        // A calculator's keypad, with the words in a column on its right.
        AddCharacterRows({QStringLiteral("789"), QStringLiteral("456"), QStringLiteral("123")});
        AddTypingKey(QStringLiteral("0"), QStringLiteral("0"), {3, 0, 1, 2});
        AddTypingKey(QStringLiteral(","), QStringLiteral(","), {3, 2});
        AddWordKeys({0, 3}, {2, 3, 2, 1}, {1, 3});
        return;
    }
    // Ten columns: the digits, the Spanish QWERTY (Ñ beside the L), the signs
    // a note to the kitchen uses, then the accented vowels.
    AddCharacterRows({QStringLiteral("1234567890"), QStringLiteral("QWERTYUIOP"),
                      QStringLiteral("ASDFGHJKLÑ"), QStringLiteral("ZXCVBNM,.-"),
                      QStringLiteral("ÁÉÍÓÚÜ/")});
    AddTypingKey(QStringLiteral("Espacio"), QStringLiteral(" "), {5, 0, 1, 4});
    AddWordKeys({4, 7, 1, 3}, {5, 4, 1, 3}, {5, 7, 1, 3});
}

QPushButton* TouchKeys::AddKey(const QString& caption, Spot spot) {
    auto* key = new QPushButton(caption, this);
    // Pressing a key leaves the focus (and the cursor) in the field, and no
    // key becomes the box's default button for Enter.
    key->setFocusPolicy(Qt::NoFocus);
    key->setAutoDefault(false);
    const int side = std::max(Scaled(kDesignKeySide), TouchMinimum());
    key->setMinimumSize(side, side);
    // Keys spanning two rows or columns fill them.
    key->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    grid_->addWidget(key, spot.row, spot.column, spot.rowSpan, spot.columnSpan);
    return key;
}

void TouchKeys::AddTypingKey(const QString& caption, const QString& typed, Spot spot) {
    connect(AddKey(caption, spot), &QPushButton::clicked, this,
            [this, typed] { field_->insert(typed); });
}

void TouchKeys::AddCharacterRows(const QStringList& rows) {
    for (int row = 0; row < rows.size(); ++row)
        for (int column = 0; column < rows[row].size(); ++column) {
            const QString character(rows[row][column]);
            AddTypingKey(character, character, {row, column});
        }
}

void TouchKeys::AddWordKeys(Spot erase, Spot accept, Spot cancel) {
    connect(AddKey(QStringLiteral("Borrar"), erase), &QPushButton::clicked, this,
            [this] { field_->backspace(); });
    connect(AddKey(QStringLiteral("Aceptar"), accept), &QPushButton::clicked, this,
            &TouchKeys::accepted);
    connect(AddKey(QStringLiteral("Cancelar"), cancel), &QPushButton::clicked, this,
            &TouchKeys::cancelled);
}

}  // namespace widgets
