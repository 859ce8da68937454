#pragma once
// The start-up form: its load step does all start-up work (configuration,
// regional formats, icons, the database connection, the server clock); then
// it offers "Aceptar" (go on to the order screen) and "Salir".
#include <QPixmap>
#include <QSize>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

#include "data/connection.h"
#include "widgets/twips.h"

class QLabel;
class QPushButton;

namespace widgets {
class cImageButton;
}

namespace startup {

using ConnectionFactory = std::function<std::unique_ptr<data::Connection>()>;

class Acceso : public QWidget {
    Q_OBJECT
public:
    // `programFolder` holds Ruta_Datos.txt, Empresa.txt and iconos/;
    // `factory` makes the connection (MariaDB unless a test gives another).
    explicit Acceso(QString programFolder, ConnectionFactory factory = {},
                    QWidget* parent = nullptr);
    ~Acceso() override;

    // The start-up steps. Errors of the configuration file are not trapped
    // here: they reach the caller (the system error box).
    void Form_Load();
    void CmdOk_Click();
    void cmdCancel_Click();

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Image1 = nullptr;
    QPushButton* CmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void BuildLayout();
    // Design pixels at the form's factor.
    int Scaled(int pixels) const;
    void KeepDrawing();
    void LoadIcons();
    void OpenConnection();

    QString programFolder_;
    ConnectionFactory factory_;
    // The form's size in twips at factor 1 (696 x 390 pixels), and the factor
    // it is drawn at on this panel.
    static constexpr int kDesignTwipsWide = 10440;
    static constexpr int kDesignTwipsHigh = 5850;
    static constexpr QSize kDesignSize{kDesignTwipsWide / widgets::kTwipsPerPixel,
                                       kDesignTwipsHigh / widgets::kTwipsPerPixel};
    double factor_ = 1;
    // The persistent drawing: what start-up paints on the background stays
    // there through every repaint.
    QPixmap drawing_;
    // The icons of CmdOk and cmdCancel; they live as long as the form.
    std::array<std::unique_ptr<widgets::cImageButton>, 2> Botones_Imagen;
};

}  // namespace startup
