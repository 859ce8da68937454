#pragma once
// Texts the back office types (area, waiter and product names, menu
// captions, side dishes, the printer's name, the shared list files) shown
// exactly as typed. Qt reads some texts as markup: a label or a message box
// left on AutoText takes "<b>..</b>" for rich text, a tooltip that "might
// be" rich text is drawn as HTML, a group box title or a button caption
// takes '&' for the mark of a keyboard shortcut, and a window title drops
// "[*]". These helpers keep such a text plain wherever it is shown.
#include <QString>

class QLabel;
class QMessageBox;
class QWidget;

namespace widgets {

// The label shows its text as it is, never as rich text.
void MakePlain(QLabel* label);
// The box's text is shown as it is, never as rich text.
void MakePlain(QMessageBox& box);

// `text` for a place that reads '&' as a shortcut mark (a group box title,
// a standard button): each '&' doubled, so it is shown as typed.
QString WithoutMnemonics(const QString& text);

// `text` for a window title: "[*]", Qt's placeholder for the "modified"
// mark, doubled, so it is shown as typed.
QString AsWindowTitle(const QString& text);

// Sets the tooltip of `w` to `text` shown as typed: a text Qt would take for
// rich text is escaped first.
void SetPlainToolTip(QWidget* w, const QString& text);

}  // namespace widgets
