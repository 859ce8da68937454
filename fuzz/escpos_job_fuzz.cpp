// The job as the escpos backend takes it: the copies argument (the input's
// first line) and the print file (the rest). The copies are always from 1 to
// the bound, a refused count says why, and the job sent is the file that many
// times, read back as written, or refused by the bound with its reason.
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "escpos_backend/job_file.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace escposbackend;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto line_end = text.find('\n');
    const std::string copies_text = text.substr(0, line_end);
    const std::string file = line_end == std::string::npos ? "" : text.substr(line_end + 1);

    const Copies copies = ParseCopies(copies_text);
    fuzz::Check(copies.count >= 1 && copies.count <= kMostCopies, "copies from 1 to the bound");
    if (copies.problem.empty()) {
        fuzz::Check(copies_text.find_first_not_of("0123456789") == std::string::npos &&
                        std::strtol(copies_text.c_str(), nullptr, 10) == copies.count,
                    "accepted copies are the number written", QString::fromStdString(copies_text));
    } else {
        fuzz::Check(copies.count == 1, "refused copies print once");
        for (const char c : copies.problem)
            fuzz::Check(static_cast<unsigned char>(c) >= 0x20, "the reason is one line");
    }

    const QString path = fuzz::WriteScratchFile(QByteArray::fromStdString(file));
    const int fd = ::open(path.toLocal8Bit().constData(), O_RDONLY | O_CLOEXEC);
    fuzz::Check(fd >= 0, "the scratch file opens");
    std::string read, error;
    fuzz::Check(ReadJobBytes(fd, &read, &error) && read == file, "the job reads as written",
                QString::fromStdString(error));
    ::close(fd);

    const auto job = RepeatedJob(read, copies.count, &error);
    if (!job) {
        fuzz::Check(read.size() * copies.count > kMostJobBytes && !error.empty(), "only the bound refuses a job");
        return 0;
    }
    fuzz::Check(job->size() == read.size() * copies.count, "the job is the file that many times");
    for (int i = 0; i < copies.count; ++i)
        fuzz::Check(job->compare(i * read.size(), read.size(), read) == 0, "each copy is the file");
    return 0;
}
