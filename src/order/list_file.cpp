#include "order/list_file.h"

#include <QDebug>

#include "runtime/runtime_error.h"
#include "runtime/text_file.h"

namespace order {

QStringList ListEntries(const QStringList& lines) {
    QStringList entries;
    for (const QString& line : lines) {
        if (line.isEmpty()) break;
        if (line.startsWith('/')) continue;
        entries.append(line);
    }
    return entries;
}

QStringList ReadListFile(const QString& path) {
    QStringList lines;
    try {
        rt::TextFileReader reader(path, rt::kSharedTextBound);
        // Lines after the first empty one are never offered: stop reading there.
        while (!reader.AtEndOfStream()) {
            lines.append(reader.ReadLine());
            if (lines.last().isEmpty()) break;
        }
    } catch (const rt::RuntimeError& e) {
        qWarning().noquote() << "list file not read:" << e.what();  // the path is in the text
        return {};
    }
    return ListEntries(lines);
}

}  // namespace order
