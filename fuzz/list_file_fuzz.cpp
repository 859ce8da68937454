// The list files of the data folder (Contorno.txt, Termino.txt), read from a
// file made of the input and from its decoded lines.
#include "fuzz_support.h"
#include "order/list_file.h"
#include "runtime/text_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = fuzz::Bytes(data, size);
    const std::optional<QStringList> read = fuzz::FileLines(bytes);
    const QStringList lines = read.value_or(QStringList());  // a file that is no text offers nothing
    const QStringList entries = order::ListEntries(lines);
    fuzz::Check(order::ReadListFile(fuzz::WriteScratchFile(bytes)) == entries,
                "the file gives the entries of its lines");
    // The entries are the lines before the first empty one, comments left out,
    // in file order and as written.
    qsizetype next = 0;
    for (const QString& line : lines) {
        if (line.isEmpty()) break;
        if (line.startsWith(u'/')) continue;
        fuzz::Check(next < entries.size() && entries[next] == line, "every other line is offered",
                    line);
        ++next;
    }
    fuzz::Check(next == entries.size(), "nothing but those lines is offered");
    return 0;
}
