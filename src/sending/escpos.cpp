#include "sending/escpos.h"

#include <QList>
#include <array>

namespace sending {
namespace {

constexpr char kEsc = 0x1B;
constexpr char kGs = 0x1D;
constexpr char kLf = 0x0A;
constexpr char kUnknown = '?';

// Code page 850, bytes 0x80 to 0xFF, as the Unicode characters they print.
// clang-format off
constexpr std::array<char16_t, 128> kCp850High = {
    u'\u00C7', u'\u00FC', u'\u00E9', u'\u00E2', u'\u00E4', u'\u00E0', u'\u00E5', u'\u00E7',  // 80
    u'\u00EA', u'\u00EB', u'\u00E8', u'\u00EF', u'\u00EE', u'\u00EC', u'\u00C4', u'\u00C5',  // 88
    u'\u00C9', u'\u00E6', u'\u00C6', u'\u00F4', u'\u00F6', u'\u00F2', u'\u00FB', u'\u00F9',  // 90
    u'\u00FF', u'\u00D6', u'\u00DC', u'\u00F8', u'\u00A3', u'\u00D8', u'\u00D7', u'\u0192',  // 98
    u'\u00E1', u'\u00ED', u'\u00F3', u'\u00FA', u'\u00F1', u'\u00D1', u'\u00AA', u'\u00BA',  // A0
    u'\u00BF', u'\u00AE', u'\u00AC', u'\u00BD', u'\u00BC', u'\u00A1', u'\u00AB', u'\u00BB',  // A8
    u'\u2591', u'\u2592', u'\u2593', u'\u2502', u'\u2524', u'\u00C1', u'\u00C2', u'\u00C0',  // B0
    u'\u00A9', u'\u2563', u'\u2551', u'\u2557', u'\u255D', u'\u00A2', u'\u00A5', u'\u2510',  // B8
    u'\u2514', u'\u2534', u'\u252C', u'\u251C', u'\u2500', u'\u253C', u'\u00E3', u'\u00C3',  // C0
    u'\u255A', u'\u2554', u'\u2569', u'\u2566', u'\u2560', u'\u2550', u'\u256C', u'\u00A4',  // C8
    u'\u00F0', u'\u00D0', u'\u00CA', u'\u00CB', u'\u00C8', u'\u0131', u'\u00CD', u'\u00CE',  // D0
    u'\u00CF', u'\u2518', u'\u250C', u'\u2588', u'\u2584', u'\u00A6', u'\u00CC', u'\u2580',  // D8
    u'\u00D3', u'\u00DF', u'\u00D4', u'\u00D2', u'\u00F5', u'\u00D5', u'\u00B5', u'\u00FE',  // E0
    u'\u00DE', u'\u00DA', u'\u00DB', u'\u00D9', u'\u00FD', u'\u00DD', u'\u00AF', u'\u00B4',  // E8
    u'\u00AD', u'\u00B1', u'\u2017', u'\u00BE', u'\u00B6', u'\u00A7', u'\u00F7', u'\u00B8',  // F0
    u'\u00B0', u'\u00A8', u'\u00B7', u'\u00B9', u'\u00B3', u'\u00B2', u'\u25A0', u'\u00A0',  // F8
};
// clang-format on

char Cp850Byte(char32_t c) {
    if (c >= 0x20 && c < 0x7F) return static_cast<char>(c);
    for (std::size_t i = 0; i < kCp850High.size(); ++i) {
        if (kCp850High[i] == c) return static_cast<char>(0x80 + i);
    }
    return kUnknown;
}

void AppendOp(QByteArray& out, const PrintOp& op) {
    switch (op.kind) {
        case PrintOp::Kind::FontSize:
            // ESC ! n: bit 4 doubles the height; the layout uses 12 for its
            // big lines and 10 for the rest.
            out.append(kEsc).append('!').append(op.size >= 12 ? char(0x10) : char(0x00));
            break;
        case PrintOp::Kind::PrintLine:
            out.append(ToCp850(op.text)).append(kLf);
            break;
        case PrintOp::Kind::EndDoc:
            // GS V 66 0: feed to the cutter and cut.
            out.append(kGs).append('V').append(char(66)).append(char(0));
            break;
        case PrintOp::Kind::ScaleMillimetres:
        case PrintOp::Kind::FontName:
        case PrintOp::Kind::CurrentX:
            break;
    }
}

}  // namespace

QByteArray ToCp850(const QString& text) {
    QByteArray out;
    for (const char32_t c : text.toUcs4()) out.append(Cp850Byte(c));
    return out;
}

// The bytes never hold DLE EOT (0x10 0x04), the real-time status request a
// printer answers wherever it finds it in the data: text has no control
// character (ToCp850 makes them '?'), and the only 0x10 is the parameter of
// ESC ! 0x10, which is followed by text (>= 0x20), LF, ESC, GS, or nothing.
// So the escpos backend's status requests after a ticket are the only ones.
QByteArray EscPosBytes(const TicketPaper& paper) {
    QByteArray out;
    out.append(kEsc).append('@');                  // reset the printer
    out.append(kEsc).append('t').append(char(2));  // code page 850
    for (const PrintOp& op : paper.ops) AppendOp(out, op);
    return out;
}

QByteArray EscPosBytes(const Ticket& ticket) { return EscPosBytes(PaperOf(ticket)); }

QString EscPosText(const QByteArray& bytes) {
    QString out;
    QString line;
    bool doubleHeight = false;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        const auto arg = [&](qsizetype k) { return i + k < bytes.size() ? static_cast<unsigned char>(bytes[i + k]) : 0; };
        if (b == kEsc && arg(1) == '@') {
            i += 1;
        } else if (b == kEsc && arg(1) == 't') {
            i += 2;
        } else if (b == kEsc && arg(1) == '!') {
            doubleHeight = (arg(2) & 0x10) != 0;
            i += 2;
        } else if (b == kGs && arg(1) == 'V') {
            // GS V 65/66 n carries a feed count; GS V 0/1 does not.
            i += (arg(2) == 65 || arg(2) == 66) ? 3 : 2;
            out += QStringLiteral("\u2702 - - - - - - - - - - - - - - - - - - - - - - -\n");
        } else if (b == kLf) {
            out += (doubleHeight ? QStringLiteral("\u00BB ") : QStringLiteral("  ")) + line + u'\n';
            line.clear();
        } else if (b >= 0x80) {
            line += QChar(kCp850High[b - 0x80]);
        } else {
            line += b >= 0x20 ? QChar(b) : QChar(u'?');
        }
    }
    if (!line.isEmpty()) out += line + u'\n';
    return out;
}

}  // namespace sending
