#include "widgets/plain_text.h"

#include <QLabel>
#include <QMessageBox>
#include <QTextDocument>
#include <QWidget>

namespace widgets {

void MakePlain(QLabel* label) { label->setTextFormat(Qt::PlainText); }

void MakePlain(QMessageBox& box) { box.setTextFormat(Qt::PlainText); }

QString WithoutMnemonics(const QString& text) {
    QString escaped = text;
    escaped.replace(QLatin1Char('&'), QLatin1String("&&"));
    return escaped;
}

QString AsWindowTitle(const QString& text) {
    QString escaped = text;
    escaped.replace(QLatin1String("[*]"), QLatin1String("[*][*]"));
    return escaped;
}

void SetPlainToolTip(QWidget* w, const QString& text) {
    // A plain tooltip is shown as it is; one Qt would take for rich text is
    // given as the rich text of the plain one (escaped, line breaks kept).
    w->setToolTip(Qt::mightBeRichText(text) ? Qt::convertFromPlainText(text) : text);
}

}  // namespace widgets
