// The MariaDB option file reader on a file made of the input: it never
// crashes, every problem says where and what, a kept value is text, and a
// kept value written back into a file reads as the same value.
#include "data/option_files.h"
#include "fuzz_support.h"

namespace {

const QString kFile = QStringLiteral("f.cnf");

data::OptionFiles Read(const QString& text, int* includes = nullptr) {
    data::OptionFiles into;
    data::ReadOptionText(text, kFile, into, [&](const data::OptionInclude& inc) {
        fuzz::Check(!inc.path.isEmpty(), "an include names a path");
        fuzz::Check(inc.where.startsWith(kFile + ':'), "an include says where it is", inc.where);
        if (includes) ++*includes;
    });
    return into;
}

// The value as a double-quoted value of a file, every escape the reader knows.
QString Quoted(const QString& value) {
    QString out = QStringLiteral("\"");
    for (const QChar c : value) {
        switch (c.unicode()) {
            case '\\': out += QStringLiteral("\\\\"); break;
            case '"': out += QStringLiteral("\\\""); break;
            case '\n': out += QStringLiteral("\\n"); break;
            case '\r': out += QStringLiteral("\\r"); break;
            case '\t': out += QStringLiteral("\\t"); break;
            case '\b': out += QStringLiteral("\\b"); break;
            default: out += c;
        }
    }
    return out + '"';
}

void CheckWrittenBack(const QString& key, const data::OptionSetting& s) {
    const QString line = s.hasValue ? key + '=' + Quoted(s.value) : key;
    const data::OptionFiles again = Read(QStringLiteral("[pedidos]\n") + line + '\n');
    const auto it = again.settings.constFind(key);
    fuzz::Check(it != again.settings.constEnd(), "a kept key written back is kept", line);
    fuzz::Check(it->hasValue == s.hasValue && it->value == s.value, "a kept value written back reads the same",
                line + QStringLiteral(" -> ") + it->value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text = fuzz::Utf8(data, size);
    int includes = 0;
    const data::OptionFiles read = Read(text, &includes);
    const qsizetype lines = text.count(u'\n') + 1;
    fuzz::Check(read.problems.size() <= data::kKeptOptionProblems, "the problems kept are bounded");
    fuzz::Check(read.problemsLeftOut == 0 || read.problems.size() == data::kKeptOptionProblems,
                "problems are left out only once the kept ones are full");
    for (const data::OptionProblem& p : read.problems) {
        fuzz::Check(!p.text.isEmpty(), "every problem says what", p.where);
        const qsizetype line = p.where.mid(kFile.size() + 1).toLongLong();
        fuzz::Check(p.where.startsWith(kFile + ':') && line >= 1 && line <= lines, "every problem says where",
                    p.where);
    }
    for (auto it = read.settings.constBegin(); it != read.settings.constEnd(); ++it) {
        fuzz::Check(data::KeptOptionKeys().contains(it.key()), "only the link's keys are kept", it.key());
        fuzz::Check(!it->value.contains(QChar::ReplacementCharacter) && !it->value.contains(QChar(0)),
                    "a kept value is text", it.key());
        fuzz::Check(it->where.startsWith(kFile + ':'), "a kept value says where it was found", it->where);
        CheckWrittenBack(it.key(), *it);
    }
    return 0;
}
