// The escpos backend's device URI: any text at all, and any text with a
// password planted in it. A URI read writes back to one that reads the same;
// a refusal says why on one line; what is shown of a URI never holds its
// password.
#include <algorithm>
#include <string>
#include <string_view>

#include "escpos_backend/device_uri.h"
#include "fuzz_support.h"

namespace {

using escposbackend::DeviceUri;

bool OneLine(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
    return true;
}

QString Seen(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void CheckRead(std::string_view text) {
    std::string error;
    const auto uri = escposbackend::ParseDeviceUri(text, &error);
    if (!uri) {
        fuzz::Check(!error.empty() && OneLine(error), "a refused URI says why on one line", Seen(error));
        return;
    }
    fuzz::Check(OneLine(text), "a URI with a control character is refused", Seen(text));
    fuzz::Check(!uri->host.empty() && uri->port >= 1 && uri->port <= 65535, "host and port in range", Seen(text));
    fuzz::Check(uri->answer_wait.count() >= 100 && uri->answer_wait.count() <= 60000, "the wait in range",
                Seen(text));
    const long long ms = uri->answer_wait.count();
    const std::string fraction = std::to_string(1000 + ms % 1000).substr(1);
    const std::string again = "escpos://" + escposbackend::PrinterName(*uri) +
                              "/?estado=" + (uri->ask_status ? "si" : "no") +
                              "&plazo=" + std::to_string(ms / 1000) + "." + fraction;
    const auto reread = escposbackend::ParseDeviceUri(again, &error);
    fuzz::Check(reread && reread->host == uri->host && reread->port == uri->port &&
                    reread->ask_status == uri->ask_status && reread->answer_wait == uri->answer_wait,
                "a URI read writes back to one that reads the same", Seen(again));
}

// `before` + ":" + `password` + "@" + `after`: neither what is shown of it
// nor the refusal holds the password, when nothing else in it does.
void CheckMasked(std::string_view before, std::string_view password, std::string_view after) {
    // '*' could meet the "***" that stands for it.
    if (password.size() < 4 || password.find_first_of("@*") != std::string_view::npos || !OneLine(password))
        return;
    const std::string text = std::string(before) + ":" + std::string(password) + "@" + std::string(after);
    if (text.find(password) != before.size() + 1 || text.find("://") != text.rfind("://")) return;
    // Nor what the rest shows, escaped as it is shown.
    if (escposbackend::ShownUri(after).find(password) != std::string::npos ||
        escposbackend::ShownUri(before).find(password) != std::string::npos)
        return;
    const std::string shown = escposbackend::ShownUri(text);
    fuzz::Check(OneLine(shown), "a shown URI is one line", Seen(shown));
    if (before.find("://") == std::string_view::npos) return;
    fuzz::Check(shown.find(password) == std::string::npos, "a shown URI never holds its password", Seen(shown));
    std::string error;
    fuzz::Check(!escposbackend::ParseDeviceUri(text, &error), "a URI with a password is refused", Seen(text));
    // The refusal shows the URI as masked, for a reason that quotes nothing of it.
    const std::string head = "URI de impresora no válida (" + shown + "): ";
    const std::string reason = error.substr(std::min(error.size(), head.size()));
    fuzz::Check(error.starts_with(head) && (reason == "la impresora no lleva usuario ni contraseña" ||
                                            reason.starts_with("lleva un carácter de control (byte 0x")),
                "a refusal shows the URI masked and quotes nothing of it", Seen(error));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CheckRead(text);
    // Three parts split at the first two LFs: before, password, after.
    const auto first = text.find('\n');
    if (first == std::string_view::npos) return 0;
    const auto second = text.find('\n', first + 1);
    if (second == std::string_view::npos) return 0;
    CheckMasked(text.substr(0, first), text.substr(first + 1, second - first - 1), text.substr(second + 1));
    return 0;
}
