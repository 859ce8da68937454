// The escpos backend's rules: status bytes, the device URI, what to do next.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "escpos_backend/device_uri.h"
#include "escpos_backend/job_file.h"
#include "escpos_backend/next_step.h"
#include "escpos_backend/status_bytes.h"
#include "escpos_backend/status_memory.h"

namespace {

using namespace escposbackend;
using namespace std::chrono_literals;
using Reasons = std::set<std::string>;

TEST(EscPosStatus, BytesGiveTheReasonsAndMessages) {
    struct Case {
        std::uint8_t n1, n2, n4;
        Reasons reasons;
        bool blocks;
        std::string message;
    };
    const Case cases[] = {
        {0x12, 0x12, 0x12, {}, false, ""},
        // Paper end as printers report it: offline, stopped by paper end, both sensors.
        {0x1A, 0x32, 0x7E, {"media-empty", "media-needed"}, true, "Sin papel"},
        // Only the roll sensor says paper end (bit 5 or bit 6 alone).
        {0x12, 0x12, 0x32, {"media-empty", "media-needed"}, true, "Sin papel"},
        {0x12, 0x12, 0x52, {"media-empty", "media-needed"}, true, "Sin papel"},
        {0x1A, 0x16, 0x12, {"door-open"}, true, "Tapa abierta"},
        {0x1A, 0x12, 0x12, {"offline-report"}, true, "Fuera de línea"},
        {0x12, 0x52, 0x12, {"other"}, true, "Error de la impresora"},
        // Near end only warns: it still prints.
        {0x12, 0x12, 0x1E, {"media-low"}, false, ""},
        {0x12, 0x12, 0x16, {"media-low"}, false, ""},
        {0x1A, 0x36, 0x7E, {"media-empty", "media-needed", "door-open"}, true, "Sin papel, Tapa abierta"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << int(c.n1) << " " << int(c.n2) << " " << int(c.n4));
        const auto status = DecodeStatus(c.n1, c.n2, c.n4);
        ASSERT_TRUE(status);
        EXPECT_EQ(StateReasons(*status), c.reasons);
        EXPECT_EQ(Blocks(*status), c.blocks);
        EXPECT_EQ(FaultMessage(*status), c.message);
    }
}

TEST(EscPosStatus, AByteThatIsNoStatusIsNoAnswer) {
    // Bits 1 and 4 set, 0 and 7 clear, in every one of the three.
    const std::uint8_t bad[] = {0x00, 0x10, 0x02, 0x13, 0x92, 0xFF, 0x0A};
    for (const std::uint8_t b : bad) {
        SCOPED_TRACE(int(b));
        EXPECT_FALSE(DecodeStatus(b, 0x12, 0x12));
        EXPECT_FALSE(DecodeStatus(0x12, b, 0x12));
        EXPECT_FALSE(DecodeStatus(0x12, 0x12, b));
    }
}

TEST(EscPosDeviceUri, GoodUris) {
    struct Case {
        const char* uri;
        std::string host;
        int port;
        bool ask;
        std::chrono::milliseconds wait;
        std::string name;
    };
    const Case cases[] = {
        {"escpos://10.0.0.5", "10.0.0.5", 9100, true, 1500ms, "10.0.0.5:9100"},
        {"escpos://10.0.0.5:9102", "10.0.0.5", 9102, true, 1500ms, "10.0.0.5:9102"},
        {"escpos://cocina.local:9100/", "cocina.local", 9100, true, 1500ms, "cocina.local:9100"},
        {"escpos://[fe80::1]:9101", "fe80::1", 9101, true, 1500ms, "[fe80::1]:9101"},
        {"escpos://[::1]", "::1", 9100, true, 1500ms, "[::1]:9100"},
        {"escpos://h:1?estado=no", "h", 1, false, 1500ms, "h:1"},
        {"escpos://h?plazo=3", "h", 9100, true, 3000ms, "h:9100"},
        {"escpos://h:65535/?plazo=0.5&estado=si", "h", 65535, true, 500ms, "h:65535"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.uri);
        std::string error;
        const auto uri = ParseDeviceUri(c.uri, &error);
        ASSERT_TRUE(uri) << error;
        EXPECT_EQ(uri->host, c.host);
        EXPECT_EQ(uri->port, c.port);
        EXPECT_EQ(uri->ask_status, c.ask);
        EXPECT_EQ(uri->answer_wait, c.wait);
        EXPECT_EQ(PrinterName(*uri), c.name);
    }
}

TEST(EscPosDeviceUri, BadUrisSayWhy) {
    struct Case {
        std::string_view uri;
        const char* why;
    };
    using namespace std::string_view_literals;
    const Case cases[] = {
        {"socket://h:9100", "escpos://"},
        {"escpos://", "falta la impresora"},
        {"escpos://:9100", "falta la impresora"},
        {"escpos://h:", "puerto no válido"},
        {"escpos://h:0", "puerto no válido"},
        {"escpos://h:65536", "puerto no válido"},
        {"escpos://h:91x", "puerto no válido"},
        {"escpos://[::1", "falta el ]"},
        {"escpos://[::1]x", "sobra texto"},
        {"escpos://[[>1]:12", "dirección no válida"},
        {"escpos://[cocina]", "dirección no válida"},
        {"escpos://co<ci>na", "dirección no válida"},
        {"escpos://h/cola", "sobra la ruta"},
        {"escpos://h?estado=quizas", "estado=quizas"},
        {"escpos://h?plazo=0", "plazo=0"},
        {"escpos://h?plazo=dos", "plazo=dos"},
        {"escpos://h?snmp=false", "opción desconocida"},
        // The error reaches the scheduler's log: a password in the URI is not repeated.
        {"escpos://cocina:Secreto9@h:9100", "usuario ni contraseña"},
        {"escpos://Secreto9@h", "usuario ni contraseña"},
        {"escpos://a@b:Secreto9@h/?estado=no", "usuario ni contraseña"},
        // Wherever the password ends: '/', '?', '#', '@' or escapes in it.
        {"escpos://u:x/Secreto9@h", "usuario ni contraseña"},
        {"escpos://u:x?Secreto9@h:9100", "usuario ni contraseña"},
        {"escpos://u:x#Secreto9@h", "usuario ni contraseña"},
        {"escpos://u:Secreto9%40%2F@h", "usuario ni contraseña"},
        // A line end would put a line of its own into what the scheduler reads.
        {"escpos://h:9100\nSTATE: +media-empty", "carácter de control (byte 0x0A)"},
        {"escpos://h\r", "byte 0x0D"},
        {"escpos://h\0x"sv, "byte 0x00"},
        {"escpos://h\x7F", "byte 0x7F"},
        {"escpos://h?plazo=\t2", "byte 0x09"},
        {"escpos://u:Secreto9@h\n", "byte 0x0A"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.uri));
        std::string error;
        EXPECT_FALSE(ParseDeviceUri(c.uri, &error));
        EXPECT_NE(error.find(c.why), std::string::npos) << error;
        EXPECT_EQ(error.find("Secreto9"), std::string::npos) << error;
        EXPECT_EQ(std::find_if(error.begin(), error.end(), [](char ch) { return ch >= 0 && ch < 0x20; }),
                  error.end())
            << error;
    }
}

TEST(EscPosNextStep, TheJobCompletesOnlyWhenThePrinterSaysFineAfterIt) {
    struct Case {
        Situation situation;
        Step step;
        bool job_sent;
    };
    constexpr auto Fine = Answer::Fine, Fault = Answer::Fault, Silent = Answer::Silent,
                   Unreadable = Answer::Unreadable;
    const Case cases[] = {
        // ask, sent, answer, answered before
        {{true, false, Fine, true}, Step::SendJob, true},
        {{true, true, Fine, true}, Step::Finish, true},
        {{true, false, Fault, true}, Step::WaitForPrinter, false},
        // A fault after the job: all of it again once the printer is fine.
        {{true, true, Fault, true}, Step::WaitForPrinter, false},
        {{true, false, Silent, true}, Step::WaitForPrinter, false},
        {{true, true, Silent, true}, Step::WaitForPrinter, false},
        {{true, false, Silent, false}, Step::SendUnchecked, false},
        {{false, false, Silent, false}, Step::SendUnchecked, false},
        {{false, false, Silent, true}, Step::SendUnchecked, false},
        // Bytes that are no status: printed as a socket printer is, never waited on.
        {{true, false, Unreadable, true}, Step::SendUnchecked, false},
        {{true, false, Unreadable, false}, Step::SendUnchecked, false},
        {{true, true, Unreadable, true}, Step::Finish, true},
    };
    for (const Case& c : cases) {
        const Situation& s = c.situation;
        SCOPED_TRACE(testing::Message() << "ask " << s.ask_status << " sent " << s.job_sent << " answer "
                                        << int(s.answer) << " before " << s.answered_before);
        const Decision d = NextStep(s);
        EXPECT_EQ(d.step, c.step);
        EXPECT_EQ(d.job_sent, c.job_sent);
    }
}

TEST(EscPosNextStep, StateLinesTurnTheShownReasonsIntoTheWantedOnes) {
    struct Case {
        Reasons shown, wanted;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {{}, {}, {}},
        {{"door-open"}, {"door-open"}, {}},
        {{}, {"media-empty", "media-needed"}, {"STATE: +media-empty,media-needed"}},
        {{"media-empty", "media-needed"}, {}, {"STATE: -media-empty,media-needed"}},
        {{"offline-report", "media-low"}, {"media-low", "door-open"},
         {"STATE: -offline-report", "STATE: +door-open"}},
    };
    for (const Case& c : cases) EXPECT_EQ(StateChanges(c.shown, c.wanted), c.lines);
}

TEST(EscPosStatusMemory, OneFileNamePerPrinter) {
    EXPECT_EQ(MemoryFileName("10.0.0.5", 9100), "10.0.0.5_9100");
    EXPECT_EQ(MemoryFileName("fe80::1", 9100), "fe80__1_9100");
    EXPECT_EQ(MemoryFileName("../x/y", 1), ".._x_y_1");
    EXPECT_NE(MemoryFileName("h", 9100), MemoryFileName("h", 9101));
}

TEST(EscPosJobFile, CopiesAreADecimalFrom1To999AndAnythingElseIsOne) {
    const struct {
        const char* text;
        int count;
        bool told;
    } cases[] = {
        {"1", 1, false}, {"3", 3, false}, {"999", 999, false}, {"007", 7, false},
        {"0", 1, true},  {"1000", 1, true}, {"-2", 1, true}, {"+2", 1, true},
        {" 2", 1, true}, {"2x", 1, true},  {"", 1, true},   {"99999999999999999999", 1, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const Copies copies = ParseCopies(c.text);
        EXPECT_EQ(copies.count, c.count);
        EXPECT_EQ(!copies.problem.empty(), c.told) << copies.problem;
    }
    std::string error;
    EXPECT_EQ(RepeatedJob("ab", 3, &error), "ababab");
    EXPECT_FALSE(RepeatedJob(std::string(kMostJobBytes / 2 + 1, 'x'), 2, &error));
    EXPECT_NE(error.find("límite"), std::string::npos) << error;
}

// The memory is written only into a folder that is this user's alone, and
// never through a link: whatever was planted keeps its content and mode.
TEST(EscPosStatusMemory, NothingPlantedIsFollowedNorChanged) {
    char base_template[] = "/tmp/escpos-memoria-XXXXXX";
    ASSERT_NE(::mkdtemp(base_template), nullptr);
    const std::string base = base_template;
    const std::string target = base + "/ajeno";
    std::ofstream(target) << "del dueño";
    ASSERT_EQ(::chmod(target.c_str(), 0644), 0);
    const std::string own = base + "/propia", shared = base + "/compartida", linked = base + "/enlazada";
    ASSERT_EQ(::mkdir(own.c_str(), 0700), 0);
    ASSERT_EQ(::symlink(target.c_str(), (own + "/" + MemoryFileName("h", 9100)).c_str()), 0);
    ASSERT_EQ(::mkdir(shared.c_str(), 0700), 0);
    ASSERT_EQ(::chmod(shared.c_str(), 0770), 0);
    ASSERT_EQ(::symlink(own.c_str(), linked.c_str()), 0);
    const struct {
        std::string folder;
        const char* why;
    } cases[] = {
        {own, "enlace simbólico"},
        {shared, "la pueden escribir otros"},
        {linked, "no es una carpeta"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder);
        const StatusMemory memory(c.folder);
        std::string error;
        EXPECT_FALSE(memory.RememberAnswered("h", 9100, &error));
        EXPECT_NE(error.find(c.why), std::string::npos) << error;
        EXPECT_FALSE(memory.HasAnswered("h", 9100));
    }
    std::ifstream kept(target);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "del dueño");
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0644u);
    EXPECT_EQ(::access((shared + "/" + MemoryFileName("h", 9100)).c_str(), F_OK), -1);

    // A folder of its own is made 0700 and used.
    const StatusMemory fresh(base + "/nueva");
    std::string error;
    EXPECT_TRUE(fresh.RememberAnswered("h", 9100, &error)) << error;
    EXPECT_TRUE(fresh.HasAnswered("h", 9100));
    ASSERT_EQ(::stat((base + "/nueva").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 077, 0u);
    std::filesystem::remove_all(base);
}

}  // namespace
