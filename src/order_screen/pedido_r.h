#pragma once
// The order screen: the one window of the program after start-up.
#include <QWidget>

namespace order_screen {

class Pedido_R : public QWidget {
    Q_OBJECT
public:
    // The screen, created on first use.
    static Pedido_R* Instance();
    static bool Exists();

    void Form_Load();
    // Unloading closes the screen's results and the connection.
    void Form_Unload();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    Pedido_R();
    ~Pedido_R() override;
};

}  // namespace order_screen
