#include "fault_control.h"

#include <QFile>
#include <QtDebug>
#include <array>

namespace printerlistener {
namespace {

struct Word {
    const char* word;
    FaultOrder order;
};

const std::array<Word, 7>& Words() {
    using K = FaultOrder::Kind;
    static const std::array<Word, 7> words = {{
        {"normal", {K::Fault, Fault::None, true}},
        {"sin-papel", {K::Fault, Fault::PaperOut, true}},
        {"tapa-abierta", {K::Fault, Fault::CoverOpen, true}},
        {"fuera-de-linea", {K::Fault, Fault::Offline, true}},
        {"apagada", {K::SwitchOff, Fault::None, true}},
        {"sin-estado", {K::AnswersStatus, Fault::None, false}},
        {"con-estado", {K::AnswersStatus, Fault::None, true}},
    }};
    return words;
}

}  // namespace

std::optional<FaultOrder> ParseFaultOrder(const QString& word) {
    for (const Word& w : Words())
        if (word == QLatin1String(w.word)) return w.order;
    return std::nullopt;
}

QStringList FaultOrderWords() {
    QStringList words;
    for (const Word& w : Words()) words << QString::fromLatin1(w.word);
    return words;
}

QString DescribeFaultOrder(const FaultOrder& order) {
    switch (order.kind) {
        case FaultOrder::Kind::SwitchOff:
            return QStringLiteral("apagada (puerto cerrado)");
        case FaultOrder::Kind::AnswersStatus:
            return order.answers ? QStringLiteral("responde a las consultas de estado")
                                 : QStringLiteral("no responde a las consultas de estado");
        case FaultOrder::Kind::Fault:
            break;
    }
    switch (order.fault) {
        case Fault::None:
            return QStringLiteral("normal");
        case Fault::PaperOut:
            return QStringLiteral("sin papel (no imprime)");
        case Fault::CoverOpen:
            return QStringLiteral("tapa abierta (no imprime)");
        case Fault::Offline:
            return QStringLiteral("fuera de línea (no lee)");
    }
    return {};
}

QString FaultControlPath(const QString& capture) {
    return capture + QStringLiteral(".falla");
}

bool SendFaultOrder(const QString& capture, const QString& word, QString* error) {
    QFile file(FaultControlPath(capture));
    const QByteArray line = word.toUtf8() + '\n';
    if (!file.open(QIODevice::Append) || file.write(line) != line.size() || !file.flush()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

QStringList TakeFaultOrders(const QString& capture) {
    const QString path = FaultControlPath(capture);
    if (!QFile::exists(path)) return {};
    const QString taken = path + QStringLiteral(".leyendo");
    QFile::remove(taken);
    if (!QFile::rename(path, taken)) {
        qWarning().noquote() << "No se pudo tomar el archivo de órdenes" << path;
        return {};
    }
    QFile file(taken);
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning().noquote() << "No se pudo leer el archivo de órdenes" << taken << ":"
                             << file.errorString();
        return {};
    }
    QStringList words;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QString word = QString::fromUtf8(line).trimmed();
        if (!word.isEmpty()) words << word;
    }
    file.close();
    QFile::remove(taken);
    return words;
}

}  // namespace printerlistener
