// The demo's walk-through: runs the real terminal screens from a program
// folder and takes one order through them by itself, as a waiter would
// (waiter, table, a dish with quantity, a grilled dish with side dishes, a
// cooking point and a note, a pizza with an extra, a drink from the third
// page, ENVIAR), saving a picture
// of each state. The boxes the terminal asks are answered from a script and
// printed. Used by scripts/demo when there is no display.
//   pedidos_demo_walk <program folder> <picture folder>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QPushButton>
#include <QTest>
#include <cstdio>
#include <deque>

#include "order_screen/pedido_r.h"
#include "startup/acceso.h"
#include "widgets/qt_dialogs.h"
#include "widgets/error_box.h"
#include "startup/program_seams.h"
#include "widgets/edge_style.h"
#include "widgets/resources.h"
#include "widgets/screen_scale.h"

namespace {

// Answers the terminal's boxes from a script and prints every one of them.
class ScriptedAnswers : public dialogs::Dialogs {
public:
    void Expect(const QString& answer) { answers_.push_back(answer); }
    void Message(const QString& text, const QString& title, dialogs::Icon) override {
        Print("mensaje", title, text, QString());
    }
    bool YesNo(const QString& text, const QString& title, dialogs::Icon) override {
        const QString answer = Next(text);
        Print("pregunta", title, text, answer);
        return answer == QStringLiteral("Sí");
    }
    QString Input(const QString& prompt, const QString& title, const QString&,
                  int maxLength, dialogs::Keys) override {
        const QString answer = maxLength > 0 ? Next(prompt).left(maxLength) : Next(prompt);
        Print("entrada", title, prompt, answer);
        return answer;
    }

private:
    QString Next(const QString& text) {
        if (answers_.empty()) {
            std::fprintf(stderr, "El recorrido no esperaba esta caja: %s\n", qPrintable(text));
            std::exit(2);
        }
        QString answer = answers_.front();
        answers_.pop_front();
        return answer;
    }
    static void Print(const char* kind, const QString& title, const QString& text, const QString& answer) {
        std::printf("  [%s \"%s\"] %s%s%s\n", kind, qPrintable(title), qPrintable(dialogs::ShownText(text)),
                    answer.isNull() ? "" : "  -> ", qPrintable(answer));
    }
    std::deque<QString> answers_;
};

class Walk {
public:
    Walk(QString pictures) : pictures_(std::move(pictures)) {}

    void Picture(QWidget* w, const char* name, const char* what) {
        Settle();
        const QString path = QDir(pictures_).filePath(QString::fromLatin1(name));
        w->grab().save(path);
        std::printf("%s: %s\n", what, qPrintable(path));
    }
    static void Settle() {
        for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    }
    static void Click(QPushButton* b) {
        QTest::mouseClick(b, Qt::LeftButton);
        Settle();
    }
    static void Pick(QComboBox* combo, const QString& entry) {
        const int index = combo->findText(entry);
        if (index < 0) {
            std::fprintf(stderr, "No está en la lista: %s\n", qPrintable(entry));
            std::exit(2);
        }
        combo->setCurrentIndex(index);
        emit combo->activated(index);
        Settle();
    }

private:
    QString pictures_;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);  // in step with the terminal's own log
    if (argc != 3) {
        std::fprintf(stderr, "uso: %s <carpeta del programa> <carpeta de capturas>\n", argv[0]);
        return 2;
    }
    widgets::LoadResources();
    startup::InstallProgramSeams();
    widgets::UseEdgeStyle();
    widgets::FitToScreen(QGuiApplication::primaryScreen(), widgets::HasWindowManager());
    QApplication::setApplicationName(QStringLiteral("Pedidos_VandrelFW"));
    ScriptedAnswers answers;
    dialogs::Install(&answers);
    Walk walk(QString::fromLocal8Bit(argv[2]));

    auto* acceso = new startup::Acceso(QString::fromLocal8Bit(argv[1]));
    dialogs::Guarded([acceso] { acceso->Form_Load(); });
    widgets::CentreOnScreen(acceso);
    acceso->show();
    walk.Picture(acceso, "01-acceso.png", "Formulario de inicio");
    Walk::Click(acceso->CmdOk);

    order_screen::Pedido_R* s = order_screen::Pedido_R::Instance();
    walk.Picture(s, "02-pedido.png", "Pantalla de pedidos");

    std::printf("Mesero y mesa\n");
    Walk::Pick(s->dbCombo2, QString::fromUtf8("María Fernández"));
    s->Combo1->setEditText(QStringLiteral("7"));
    Walk::Click(s->Command5);
    walk.Picture(s, "03-menu.png", "Menú principal");

    std::printf("ENTRADAS > TEQUEÑOS, cantidad 2\n");
    answers.Expect(QStringLiteral("2"));
    answers.Expect(QStringLiteral("No"));
    Walk::Click(s->bmenu[0]);
    Walk::Click(s->bmenu[0]);
    Walk::Click(s->regre3);

    std::printf("PARRILLA > CORTES DE RES > LOMITO, contornos, término y observación\n");
    Walk::Click(s->bmenu[2]);
    Walk::Click(s->bmenu[0]);
    Walk::Click(s->bmenu[0]);
    Walk::Pick(s->Combo2, QStringLiteral("Papas fritas"));
    Walk::Pick(s->Combo2, QStringLiteral("Ensalada mixta"));
    walk.Picture(s, "04-contornos.png", "Contornos");
    Walk::Click(s->Command3);
    Walk::Pick(s->Combo3, QString::fromUtf8("Término medio"));
    walk.Picture(s, "05-termino.png", "Término");
    answers.Expect(QString::fromUtf8("Sí"));
    answers.Expect(QStringLiteral("sin sal, salsa aparte"));
    Walk::Click(s->Command4);
    Walk::Click(s->regre3);

    std::printf("PIZZAS > MARGARITA y EXTRAS DE PIZZA > EXTRA QUESO\n");
    Walk::Click(s->bmenu[4]);
    answers.Expect(QStringLiteral("1"));
    answers.Expect(QStringLiteral("No"));
    Walk::Click(s->bmenu[0]);
    Walk::Click(s->bmenu[5]);
    answers.Expect(QStringLiteral("1"));
    answers.Expect(QStringLiteral("No"));
    Walk::Click(s->bmenu[0]);
    Walk::Click(s->regre3);

    std::printf("BEBIDAS > PEPSI-COLA, cantidad 2\n");
    Walk::Click(s->bmenu[5]);
    answers.Expect(QStringLiteral("2"));
    answers.Expect(QStringLiteral("No"));
    Walk::Click(s->bmenu[2]);

    std::printf("BEBIDAS, tercera página > TE DE MANZANILLA\n");
    Walk::Click(s->AVANZAR);
    Walk::Click(s->AVANZAR);
    walk.Picture(s, "06-bebidas-pagina-3.png", "Bebidas, tercera página");
    answers.Expect(QStringLiteral("1"));
    answers.Expect(QStringLiteral("No"));
    Walk::Click(s->bmenu[32]);
    walk.Picture(s, "07-pedido-tomado.png", "Pedido tomado");

    std::printf("ENVIAR\n");
    Walk::Click(s->Command2[0]);
    walk.Picture(s, "08-enviado.png", "Después de ENVIAR");
    s->close();
    Walk::Settle();
    return 0;
}
