// End-to-end tests of the kx tool: the built binary is run in a child
// process, and its exit status, output and the files it writes are checked.
// Every command kx lists gets the help and bad-option checks; each family
// gets a few real runs with exact outcomes.
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/test_support.h"

extern char **environ;

namespace {

namespace fs = std::filesystem;
using kxtest::Bytes;
using kxtest::bytes_of;
using kxtest::concat;
using kxtest::data_path;
using kxtest::hex;
using kxtest::read_bytes;
using kxtest::read_text;
using kxtest::TempDir;
using kxtest::write_bytes;
using kxtest::write_text;

// --- running kx ------------------------------------------------------------

struct Outcome {
    std::string cmd;
    int status = -1;  // exit status, or 128 + signal
    std::string out, err;
};

std::ostream &operator<<(std::ostream &os, const Outcome &r)
{
    return os << "\n$ " << r.cmd << "\nexit " << r.status << "\n--- stdout ---\n"
              << r.out << "--- stderr ---\n"
              << r.err;
}

// The child's environment: ours, with the given settings replacing ours, and
// sanitizer reports given exit codes no command uses.
std::vector<std::string> child_environment(const std::vector<std::string> &settings)
{
    std::map<std::string, std::string> env;
    for (char **e = environ; *e; ++e) {
        std::string s = *e;
        auto eq = s.find('=');
        if (eq != std::string::npos) env[s.substr(0, eq)] = s.substr(eq + 1);
    }
    for (const char *name : {"ASAN_OPTIONS", "UBSAN_OPTIONS"}) {
        std::string &v = env[name];
        v += (v.empty() ? "" : ":") + std::string("exitcode=86");
    }
    for (const auto &s : settings) {
        auto eq = s.find('=');
        env[s.substr(0, eq)] = s.substr(eq + 1);
    }
    std::vector<std::string> out;
    for (const auto &[k, v] : env) out.push_back(k + "=" + v);
    return out;
}

Outcome run_program(const std::string &program, const std::vector<std::string> &args, const std::string &cwd = {},
                const std::vector<std::string> &env_settings = {})
{
    TempDir io;
    const std::string out_path = io.file("stdout"), err_path = io.file("stderr");
    Outcome r;
    r.cmd = program;
    for (const auto &a : args) r.cmd += " '" + a + "'";

    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&fa, 1, out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&fa, 2, err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (!cwd.empty()) posix_spawn_file_actions_addchdir_np(&fa, cwd.c_str());

    std::vector<char *> argv;
    argv.push_back(const_cast<char *>(program.c_str()));
    for (const auto &a : args) argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<std::string> env = child_environment(env_settings);
    std::vector<char *> envp;
    for (auto &e : env) envp.push_back(e.data());
    envp.push_back(nullptr);

    pid_t pid = 0;
    int rc = posix_spawn(&pid, program.c_str(), &fa, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&fa);
    if (rc != 0) {
        ADD_FAILURE() << "cannot start " << program << ": error " << rc;
        return r;
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    r.out = read_text(out_path);
    r.err = read_text(err_path);
    if (r.err.find("Sanitizer") != std::string::npos || r.err.find("runtime error:") != std::string::npos ||
        r.status == 86 || r.status >= 128)
        ADD_FAILURE() << "the run crashed or a sanitizer reported a fault:" << r;
    return r;
}

Outcome kx(const std::vector<std::string> &args, const std::string &cwd = {},
       const std::vector<std::string> &env_settings = {})
{
    return run_program(KX_TOOL_PATH, args, cwd, env_settings);
}

bool contains(const std::string &text, const std::string &part) { return text.find(part) != std::string::npos; }

std::vector<std::string> lines_of(const std::string &text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

std::string data(const std::string &rel) { return data_path(rel); }

// The command names "kx --help" lists under "Commands:".
std::vector<std::string> listed_commands()
{
    Outcome r = kx({"--help"});
    EXPECT_EQ(r.status, 0) << r;
    std::vector<std::string> names;
    bool in_list = false;
    for (const auto &line : lines_of(r.out)) {
        if (line == "Commands:") {
            in_list = true;
        } else if (in_list && line.starts_with("  ")) {
            std::istringstream words(line);
            std::string name;
            words >> name;
            names.push_back(name);
        }
    }
    return names;
}

const Bytes kUel = bytes_of("\x1b%-12345X");
Bytes panel(const std::string &text) { return bytes_of("@PJL RDYMSG DISPLAY = \"" + text + "\"\n"); }
Bytes pjl(const std::string &line) { return bytes_of("@PJL " + line + "\n"); }

// --- help, usage and command discovery ---------------------------------------

TEST(KxCli, OverviewListsTheCommandsAndRejectsUnknownOnes)
{
    std::vector<std::string> names = listed_commands();
    for (const char *known : {"send", "resource", "net-type", "checksum", "backup", "mkpath", "datfile", "cfgfiles",
                              "font", "ini", "opc", "qsf", "parse", "web", "zip"})
        EXPECT_NE(std::find(names.begin(), names.end(), known), names.end()) << known << " is not listed";

    Outcome bare = kx({});
    EXPECT_EQ(bare.status, 2) << bare;
    EXPECT_TRUE(contains(bare.out, "Commands:")) << bare;

    Outcome unknown = kx({"no-such-command"});
    EXPECT_EQ(unknown.status, 2) << unknown;
    EXPECT_TRUE(contains(unknown.err, "unknown command 'no-such-command'")) << unknown;
    EXPECT_EQ(unknown.out, "") << unknown;
}

TEST(KxCli, EveryListedCommandHasHelpAndRejectsAnUnknownOption)
{
    std::vector<std::string> names = listed_commands();
    ASSERT_FALSE(names.empty());
    for (const auto &name : names) {
        SCOPED_TRACE("kx " + name);
        for (const char *help : {"--help", "-h"}) {
            Outcome r = kx({name, help});
            EXPECT_EQ(r.status, 0) << r;
            EXPECT_TRUE(r.out.starts_with("Usage: kx " + name + " ")) << r;
            EXPECT_EQ(r.err, "") << r;
        }
        Outcome bad = kx({name, "--no-such-option"});
        EXPECT_EQ(bad.status, 2) << bad;
        EXPECT_TRUE(bad.err.starts_with("kx " + name + ": ")) << bad;
        EXPECT_TRUE(contains(bad.err, "Try 'kx " + name + " --help'.")) << bad;
        EXPECT_EQ(bad.out, "") << bad;
    }
}

struct SubCommands {
    std::string command;
    std::vector<std::string> subs;
    std::vector<std::string> unknown_sub;  // arguments naming a sub-command that does not exist
};

TEST(KxCli, SubCommandsHaveHelpAndRejectUnknownOptionsAndNames)
{
    const SubCommands table[] = {
        {"zip", {"extract", "list"}, {"frob", "a.zip"}},
        {"ini", {"get", "set", "add", "delete", "dump"}, {"frob", "a.ini"}},
        {"datfile", {"list", "count", "counts"}, {"frob", "a.dat"}},
        {"opc", {"limits", "listing", "defaults", "omvars"}, {"frob", "12", "1"}},
        {"qsf", {"info", "block", "section"}, {"frob", "a.qsf"}},
        {"web", {"url", "cgi"}, {"frob"}},
        {"parse", {"options", "jobaccount"}, {"frob", "a.bin"}},
        {"font", {"info"}, {"frob", "a.pfb"}},
    };
    TempDir dir;  // nothing named a.zip, a.ini, ... exists here
    for (const auto &row : table) {
        for (const auto &sub : row.subs) {
            SCOPED_TRACE("kx " + row.command + " " + sub);
            Outcome help = kx({row.command, sub, "--help"}, dir.path());
            EXPECT_EQ(help.status, 0) << help;
            EXPECT_TRUE(help.out.starts_with("Usage: kx " + row.command + " ")) << help;
            EXPECT_TRUE(contains(help.out, sub)) << help;

            Outcome bad = kx({row.command, sub, "--no-such-option"}, dir.path());
            EXPECT_EQ(bad.status, 2) << bad;
            EXPECT_TRUE(bad.err.starts_with("kx " + row.command + ": ")) << bad;
        }
        std::vector<std::string> args = {row.command};
        args.insert(args.end(), row.unknown_sub.begin(), row.unknown_sub.end());
        Outcome unknown = kx(args, dir.path());
        EXPECT_EQ(unknown.status, 2) << unknown;
        EXPECT_TRUE(unknown.err.starts_with("kx " + row.command + ": ")) << unknown;
    }
}

// --- failing library calls ---------------------------------------------------

TEST(KxCli, FailingCallsPrintTheResultAndItsMeaningAndExitWith1)
{
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const Case cases[] = {
        {{"send", "missing-file", "out.prn"}, "kx: send: result 2 (file not found)"},
        {{"send", "--string", "1G", "out.prn"}, "kx: send: result 1 (invalid argument)"},
        {{"send", "--language", "7", data("datfile/commands.dat"), "out.prn"}, "kx: send: result 1 (invalid argument)"},
        {{"resource", "--target", "6", "out.prn"}, "kx: resource: result 1 (invalid argument)"},
        {{"checksum", "missing-file"}, "kx: checksum: result 3 (cannot open)"},
        {{"backup", "missing-file"}, "kx: backup: result 27 (invalid or unsupported file)"},
        {{"mkpath", "relative/dir"}, "kx: mkpath: result 26 (the path cannot be built)"},
        {{"datfile", "list", "missing.dat"}, "kx: datfile: result -1 (bad arguments or file missing)"},
        {{"font", "info", "missing.pfb"}, "kx: font info: result 2 (file not found)"},
        {{"font", "info", data("afm/NimbusSans-Regular.afm")}, "kx: font info: result 27 (invalid or unsupported file)"},
        {{"ini", "get", data("kx/lists.ini"), "005REQUIRED", "NoSuchKey"},
         "kx: ini get: result 41 (key missing and no default)"},
        {{"ini", "get", data("kx/lists.ini"), "NoSuchSection", "NUMVARS"},
         "kx: ini get: result 45 (section missing and no default)"},
        {{"ini", "get", "missing.ini", "S", "K"}, "kx: ini get: cannot open missing.ini: result 3 (cannot open)"},
        {{"opc", "limits", "12", "163"}, "kx: opc: cannot open opc012.cfg: result 3 (cannot open)"},
        {{"qsf", "info", "missing.qsf", "--type", "2"}, "kx: qsf open missing.qsf: result 3 (cannot open)"},
        {{"qsf", "section", data("kx/lists.ini"), "--list", "optional", "--section", "5"},
         "kx: qsf section: result 45 (section missing and no default)"},
        {{"parse", "options", "missing.bin"}, "kx: parse: reading missing.bin: result 3 (cannot open)"},
        {{"web", "url", "--printer", "2"}, "kx: web url: result 44 (type mismatch)"},
        {{"zip", "extract", "missing.zip"}, "kx: zip extract: result 2 (file not found)"},
    };
    for (const auto &c : cases) {
        TempDir dir;
        Outcome r = kx(c.args, dir.path());
        EXPECT_EQ(r.status, 1) << r;
        EXPECT_TRUE(contains(r.err, c.message + "\n")) << "expected: " << c.message << r;
    }
}

// --- kx send -----------------------------------------------------------------

const Bytes kPayload = {'A', 'B', 0x00, '\r', '\n', 0xFF, 0x1B, 'E'};

TEST(KxCliSend, FileReachesTheDestinationWithTheFramingItsOptionsAsk)
{
    const Bytes esck_end = {0x1B, 0x5B, 0x4B, 0x01, 0x00, 0x06};
    const Bytes job_end_reset = concat({kUel, panel(""), pjl("RESET"), kUel});
    struct Case {
        std::vector<std::string> options;
        Bytes expected;
    };
    const Case cases[] = {
        {{}, kPayload},
        {{"--copies", "3"}, concat({kPayload, kPayload, kPayload})},
        // PJL: one copy of the file, the copies in the job; the panel message is cut to 20 characters.
        {{"--pjl", "--language", "pcl", "--copies", "3", "--job-name", "Invoices for the third quarter"},
         concat({kUel, panel("Invoices for the thi"), pjl("ENTER LANGUAGE = PCL"), pjl("SET COPIES = 3"), kPayload,
                 job_end_reset})},
        // ESC [ K: the language switch (PostScript sends no copies command) and the job-end sequence.
        {{"--esck", "--language", "ps", "--copies", "2"},
         concat({{0x1B, 0x5B, 0x4B, 0x03, 0x00, 0x06, 0x31, 0x08}, kPayload, esck_end})},
        // Both: the switch (with its switch value and the PCL copies command) instead of the PJL job
        // start, and both trailers after the file, PJL first.
        {{"--esck", "--pjl", "--language", "pcl", "--copies", "2", "--switch-value", "0x35"},
         concat({{0x1B, 0x5B, 0x4B, 0x03, 0x00, 0x06, 0x35, 0x02}, bytes_of("\x1b&l2X"), kPayload, job_end_reset,
                 esck_end})},
    };
    TempDir dir;
    write_bytes(dir.file("payload.bin"), kPayload);
    for (const auto &c : cases) {
        std::vector<std::string> args = {"send"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.push_back(dir.file("payload.bin"));
        args.push_back(dir.file("out.prn"));
        Outcome r = kx(args);
        ASSERT_EQ(r.status, 0) << r;
        EXPECT_EQ(r.out, "sent " + dir.file("payload.bin") + " to " + dir.file("out.prn") + "\n") << r;
        EXPECT_EQ(hex(read_bytes(dir.file("out.prn"))), hex(c.expected)) << r;
    }
}

TEST(KxCliSend, CommandStringsInTheirThreeForms)
{
    TempDir dir;
    write_bytes(dir.file("payload.bin"), kPayload);
    struct Case {
        std::vector<std::string> args;
        Bytes expected;
    };
    const Case cases[] = {
        {{"--string", "1b45"}, {0x1B, 0x45}},
        {{"--string", "00ff0D0a"}, {0x00, 0xFF, 0x0D, 0x0A}},
        {{"--string", "$A\\x41\\nB"}, {0x41, 0x41, 0x0A, 0x42}},
        {{"--string", "$"}, {}},
        {{"--string", "%" + dir.file("payload.bin")}, kPayload},
        // PJL framing without copies, language line and job end without reset.
        {{"--string", "1B45", "--pjl", "--language", "pcl", "--copies", "3"},
         concat({kUel, pjl("ENTER LANGUAGE = PCL"), {0x1B, 0x45}, kUel, panel(""), kUel})},
    };
    for (const auto &c : cases) {
        write_bytes(dir.file("out.prn"), bytes_of("old contents"));
        std::vector<std::string> args = {"send"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        args.push_back(dir.file("out.prn"));
        Outcome r = kx(args);
        ASSERT_EQ(r.status, 0) << r;
        EXPECT_EQ(hex(read_bytes(dir.file("out.prn"))), hex(c.expected)) << r;
    }

    // --append adds to the destination instead of replacing it.
    ASSERT_EQ(kx({"send", "--string", "1B45", dir.file("out.prn")}).status, 0);
    Outcome r = kx({"send", "--append", "--string", "$\\n", dir.file("out.prn")});
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_EQ(hex(read_bytes(dir.file("out.prn"))), hex({0x1B, 0x45, 0x0A}));
}

// --- kx resource ---------------------------------------------------------------

TEST(KxCliResource, StorageCommandsReachTheDestinationExactly)
{
    const Bytes job_end = concat({kUel, panel(""), kUel});
    struct Case {
        std::vector<std::string> options;
        Bytes expected;
    };
    const Case cases[] = {
        {{"--mode", "directory", "--pjl", "--language", "pcl", "--job-name", "Office"},
         concat({kUel, panel("Office"), pjl("ENTER LANGUAGE = PCL"), kUel, pjl("KPRINTDIRECTORY"), job_end})},
        {{"--mode", "directory"}, {0x1B, 0x5B, 0x4B, 0x03, 0x00, 0x06, 0xC0, 0x50}},
        {{"--mode", "format", "--target", "flash1"}, {0x1B, 0x5B, 0x4B, 0x03, 0x00, 0x06, 0xC0, 0x46}},
        {{"--mode", "format", "--target", "disk2", "--pjl"}, concat({kUel, kUel, pjl("KFORMAT DEVICE = disk2"), job_end})},
        {{"--mode", "device", "--target", "3", "--pjl", "--esck", "--device-class", "2"},
         concat({kUel, {0x1B, 0x5B, 0x4B, 0x01, 0x00, 0x01}, kUel, pjl("SET KDOWNLOADTARGET = flash2"),
                 {0x1B, 0x5B, 0x4B, 0x03, 0x00, 0x06, 0xC0, 0x31}, job_end})},
        // Downloads to RAM with neither PJL nor ESC [ K: nothing to send.
        {{"--mode", "ram"}, {}},
    };
    TempDir dir;
    for (const auto &c : cases) {
        write_bytes(dir.file("out.prn"), bytes_of("old contents"));
        std::vector<std::string> args = {"resource"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.push_back(dir.file("out.prn"));
        Outcome r = kx(args);
        ASSERT_EQ(r.status, 0) << r;
        EXPECT_EQ(hex(read_bytes(dir.file("out.prn"))), hex(c.expected)) << r;
    }
    Outcome bad = kx({"resource", "--mode", "erase", dir.file("out.prn")});
    EXPECT_EQ(bad.status, 2) << bad;
}

// --- file utilities --------------------------------------------------------------

TEST(KxCliFiles, ChecksumOfWordsWithTheOddLastBytePairedWithTheHighByteBefore)
{
    struct Case {
        Bytes content;
        std::vector<std::string> options;
        std::string expected;
    };
    const Case cases[] = {
        {{0x01, 0x00, 0x02, 0x00}, {}, "0xFFFD\n"},
        {{0x01, 0x00, 0x02, 0x00}, {"--skip", "2"}, "0xFFFF\n"},
        // Words 0x0001, 0x0702, then 0x05 with the high byte 0x07 kept: 0x10000 - 0x0E08.
        {{0x01, 0x00, 0x02, 0x07, 0x05}, {}, "0xF1F8\n"},
        {{}, {}, "0x0000\n"},
    };
    TempDir dir;
    for (const auto &c : cases) {
        write_bytes(dir.file("f.bin"), c.content);
        std::vector<std::string> args = {"checksum", dir.file("f.bin")};
        args.insert(args.end(), c.options.begin(), c.options.end());
        Outcome r = kx(args);
        EXPECT_EQ(r.status, 0) << r;
        EXPECT_EQ(r.out, c.expected) << r;
    }
    Outcome bad = kx({"checksum", dir.file("f.bin"), "--skip", "70000"});
    EXPECT_EQ(bad.status, 2) << bad;
}

TEST(KxCliFiles, BackupCopiesToTheNextFreeNumber)
{
    TempDir dir;
    write_text(dir.file("opts.ini"), "[Paper]\nSize=A4\n");
    write_text(dir.file("opts.001"), "older backup\n");
    Outcome r = kx({"backup", dir.file("opts.ini")});
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_EQ(r.out, dir.file("opts.002") + "\n");
    EXPECT_EQ(read_text(dir.file("opts.002")), "[Paper]\nSize=A4\n");
    EXPECT_EQ(read_text(dir.file("opts.001")), "older backup\n");

    r = kx({"backup", "opts.ini"}, dir.path());
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_EQ(r.out, "opts.003\n");
    EXPECT_EQ(read_text(dir.file("opts.003")), "[Paper]\nSize=A4\n");
}

TEST(KxCliFiles, MkpathCreatesTheMissingDirectoriesAndRefusesAFileInTheWay)
{
    TempDir dir;
    fs::create_directory(dir.file("a"));
    Outcome r = kx({"mkpath", dir.file("a/b/c")});
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_EQ(r.out, "created: /b/c\n");
    EXPECT_TRUE(fs::is_directory(dir.file("a/b/c")));

    r = kx({"mkpath", dir.file("a/b/c")});
    EXPECT_EQ(r.status, 0) << r;
    EXPECT_EQ(r.out, "created: (nothing, all present)\n");

    write_text(dir.file("a/file"), "x");
    r = kx({"mkpath", dir.file("a/file/d")});
    EXPECT_EQ(r.status, 1) << r;
    EXPECT_TRUE(contains(r.err, "result 26")) << r;
    EXPECT_EQ(read_text(dir.file("a/file")), "x");
}

// --- data files and described files -----------------------------------------------

TEST(KxCliDatfile, ListsAndCountsTheRecords)
{
    const std::string file = data("datfile/commands.dat");
    Outcome r = kx({"datfile", "list", file});
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_EQ(r.out, "A1\tForm feed\tPCL\t\\033&l0H\t\t0\t0\t0\tN\n"
                     "s2\tSymbol set\tPCL\t\\033(%s\t%s\t0\t0\t0\tP\n"
                     "SA3\tLine spacing\tPCL\t\\033&l%dD\t%d\t1.5\t48\t0.5\tP\n"
                     "SX4\tPitch\tPCL\t\\033(s%gH\t%g\t0.44\t99.99\t0.01\tP\n"
                     "Z5\tReset\tPJL\t@PJL RESET\t\t0\t0\t0\tN\n"
                     "S6\tCopies\tPCL\t\\033&l%dX\t%d\t1\t999\t1\tP\n");

    r = kx({"datfile", "list", file, "--key", "SA"});
    EXPECT_EQ(r.status, 0) << r;
    EXPECT_EQ(r.out, "SA3\tLine spacing\tPCL\t\\033&l%dD\t%d\t1.5\t48\t0.5\tP\n");

    r = kx({"datfile", "count", file});
    EXPECT_EQ(r.out, "6\n") << r;
    // From the first key starting with S while the keys keep the prefix: SA3 and SX4.
    r = kx({"datfile", "count", file, "--key", "S"});
    EXPECT_EQ(r.out, "2\n") << r;

    // A file of comments only lists nothing and counts 0, successfully.
    TempDir dir;
    write_text(dir.file("empty.dat"), "# no records yet\n\n");
    r = kx({"datfile", "list", dir.file("empty.dat")});
    EXPECT_EQ(r.status, 0) << r;
    EXPECT_EQ(r.out, "") << r;
    r = kx({"datfile", "count", dir.file("empty.dat")});
    EXPECT_EQ(r.status, 0) << r;
    EXPECT_EQ(r.out, "0\n") << r;

    r = kx({"datfile", "counts", file});
    EXPECT_EQ(r.status, 0) << r;
    EXPECT_EQ(r.out, "A 1\nF 0\nG 0\nP 0\nS 4\nT 0\nSA 1\nSF 0\nSG 0\nSP 0\nSS 0\nST 0\n");
}

TEST(KxCliCfgfiles, ListsTheFilesWithADescriptionMarkerInTheirFirstLine)
{
    TempDir dir;
    write_text(dir.file("a.cfg"), "#! Office printers\n[x]\n");
    write_text(dir.file("B.CFG"), "#!" + std::string(60, 'd') + "\n");
    write_text(dir.file("c.cfg"), "no marker\n#!on the second line\n");
    write_text(dir.file("d.pss"), "% settings #!Mid line\n");
    write_text(dir.file("e.txt"), "#!Text\n");
    struct Case {
        std::string type;
        std::vector<std::string> lines;  // sorted; the directory order is the system's
    };
    const Case cases[] = {
        {"cfg", {dir.file("B.CFG") + "\t" + std::string(47, 'd'), dir.file("a.cfg") + "\t Office printers"}},
        {"pss", {dir.file("d.pss") + "\tMid line"}},
        {"any",
         {dir.file("B.CFG") + "\t" + std::string(47, 'd'), dir.file("a.cfg") + "\t Office printers",
          dir.file("d.pss") + "\tMid line", dir.file("e.txt") + "\tText"}},
    };
    for (const auto &c : cases) {
        Outcome r = kx({"cfgfiles", dir.path(), "--type", c.type});
        ASSERT_EQ(r.status, 0) << r;
        std::vector<std::string> lines = lines_of(r.out);
        ASSERT_FALSE(lines.empty()) << r;
        EXPECT_EQ(lines.back(), std::to_string(c.lines.size()) + " file(s)") << r;
        lines.pop_back();
        std::sort(lines.begin(), lines.end());
        EXPECT_EQ(lines, c.lines) << r;
    }
}

// --- fonts -------------------------------------------------------------------------

// Parses a JSON file with Python and prints the named members, one "name=value" a line.
std::string json_members(const std::string &json_file, const std::vector<std::string> &names)
{
    std::vector<std::string> args = {"-c",
                                     "import json, sys\n"
                                     "d = json.load(open(sys.argv[1], encoding='utf-8'))\n"
                                     "for k in sys.argv[2:]: print(k + '=' + str(d[k]))\n",
                                     json_file};
    args.insert(args.end(), names.begin(), names.end());
    Outcome r = run_program(KX_PYTHON3, args);
    EXPECT_EQ(r.status, 0) << "not valid JSON, or members missing:" << r << "\n--- file ---\n"
                           << read_text(json_file);
    return r.out;
}

TEST(KxCliFont, InfoPrintsTheRecordOfAType1Font)
{
    const std::string pfb = data("type1/NimbusMonoPS-Regular.pfb");
    Outcome r = kx({"font", "info", pfb});
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_TRUE(contains(r.out, "description:   NimbusMonoPS-Regular\n")) << r;
    EXPECT_TRUE(contains(r.out, "class:         3 FONT_CLASS_DOWNLOADABLE\n")) << r;
    EXPECT_TRUE(contains(r.out, "format:        2 FORMAT_TYPE1\n")) << r;
    EXPECT_TRUE(contains(r.out, "file size:     " + std::to_string(fs::file_size(pfb)) + " bytes\n")) << r;

    // A metrics file whose font file is missing: the record is still printed, the result is 32.
    r = kx({"font", "info", "--metrics", data("afm/NimbusSans-Regular.afm")});
    EXPECT_EQ(r.status, 1) << r;
    EXPECT_TRUE(contains(r.out, "description:   NimbusSans-Regular\n")) << r;
    EXPECT_TRUE(contains(r.out, "class:         4 FONT_CLASS_AFM\n")) << r;
    EXPECT_TRUE(contains(r.err, "kx: font info: result 32 (not supported)\n")) << r;
}

TEST(KxCliFont, JsonIsValidAndHoldsTheRecord)
{
    if (std::string(KX_PYTHON3).empty()) GTEST_SKIP() << "python3 not found";
    TempDir dir;
    const std::string pfb = data("type1/NimbusMonoPS-Regular.pfb");
    Outcome r = kx({"font", "info", "--json", "--mode", "2", pfb});
    ASSERT_EQ(r.status, 0) << r;
    write_text(dir.file("pfb.json"), r.out);
    EXPECT_EQ(json_members(dir.file("pfb.json"), {"result", "class", "format", "description", "fileSize", "companion"}),
              "result=0\nclass=3\nformat=2\ndescription=NimbusMonoPS-Regular\nfileSize=" +
                  std::to_string(fs::file_size(pfb)) + "\ncompanion=" + data("type1/NimbusMonoPS-Regular.afm") + "\n");

    r = kx({"font", "info", "--json", data("pcl/monobit-4x6.sfp")});
    ASSERT_EQ(r.status, 0) << r;
    write_text(dir.file("pcl.json"), r.out);
    EXPECT_EQ(json_members(dir.file("pcl.json"), {"class", "formatName", "symbolSet", "names"}),
              "class=3\nformatName=FORMAT_PCL_BITMAP\nsymbolSet=0@\nnames=[]\n");

    // Paths that need escaping, and a failure, give valid JSON too (a backslash
    // separates directories, so it appears in the missing file's path only).
    const std::string odd = dir.file("we\"ird\tname.pfb");
    fs::copy_file(pfb, odd);
    r = kx({"font", "info", "--json", odd});
    ASSERT_EQ(r.status, 0) << r;
    write_text(dir.file("odd.json"), r.out);
    EXPECT_EQ(json_members(dir.file("odd.json"), {"file"}), "file=" + odd + "\n");

    const std::string missing = dir.file("no\\such\"font.pfb");
    r = kx({"font", "info", "--json", missing});
    EXPECT_EQ(r.status, 1) << r;
    write_text(dir.file("missing.json"), r.out);
    EXPECT_EQ(json_members(dir.file("missing.json"), {"result", "file"}), "result=2\nfile=" + missing + "\n");
}

// --- ZIP ---------------------------------------------------------------------------

struct Member {
    std::string stored, extracted, source;  // source "-" for a directory entry
};

// The members of an archive as tests/data/zip/manifest.tsv records them.
std::vector<Member> manifest(const std::string &archive)
{
    std::vector<Member> out;
    std::ifstream in(data("zip/manifest.tsv"));
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> f;
        std::istringstream fields(line);
        for (std::string s; std::getline(fields, s, '\t');) f.push_back(s);
        if (f.size() >= 4 && f[0] == archive) out.push_back({f[1], f[2], f[3]});
    }
    return out;
}

TEST(KxCliZip, ListShowsEveryMemberWithItsSize)
{
    const std::vector<Member> members = manifest("methods/m0_stored.zip");
    ASSERT_FALSE(members.empty());
    Outcome r = kx({"zip", "list", data("zip/methods/m0_stored.zip")});
    ASSERT_EQ(r.status, 0) << r;
    std::vector<std::string> lines = lines_of(r.out);
    for (const auto &m : members) {
        const auto size = m.source == "-" ? 0 : fs::file_size(data("zip/" + m.source));
        bool found = false;
        for (const auto &line : lines) {
            std::istringstream words(line);
            std::string packed, full, method, date, time, name;
            words >> packed >> full >> method >> date >> time;
            std::getline(words >> std::ws, name);
            if (name != m.stored) continue;
            found = true;
            EXPECT_EQ(full, std::to_string(size)) << line;
            EXPECT_EQ(method, "stored") << line;
        }
        EXPECT_TRUE(found) << m.stored << " not listed" << r;
    }
    EXPECT_TRUE(lines.back().ends_with(" " + std::to_string(members.size()) + " members")) << r;
}

TEST(KxCliZip, ExtractWritesEveryMemberBelowTheDirectory)
{
    for (const std::string archive : {"methods/m0_stored.zip", "methods/all_methods_mixed.zip"}) {
        SCOPED_TRACE(archive);
        const std::vector<Member> members = manifest(archive);
        ASSERT_FALSE(members.empty());
        TempDir dir;
        Outcome r = kx({"zip", "extract", data("zip/" + archive), "-C", dir.file("out")});
        ASSERT_EQ(r.status, 0) << r;
        unsigned files = 0;
        for (const auto &m : members) {
            const std::string path = dir.file("out/" + m.extracted);
            if (m.source == "-") {
                EXPECT_TRUE(fs::is_directory(path)) << path;
                continue;
            }
            ++files;
            ASSERT_TRUE(fs::is_regular_file(path)) << path << r;
            EXPECT_TRUE(read_bytes(path) == read_bytes(data("zip/" + m.source))) << path << " differs";
        }
        EXPECT_TRUE(contains(r.out, std::to_string(files) + " members extracted")) << r;
        EXPECT_TRUE(contains(r.out, "result 0 (success)")) << r;
    }
}

TEST(KxCliZip, ExtractByPatternWithRelativeArchiveAndDirectory)
{
    TempDir dir;
    fs::copy_file(data("zip/methods/m0_stored.zip"), dir.file("fonts.zip"));
    // The pattern ignores letter case and '*' crosses '/'; the archive is found with .zip added.
    Outcome r = kx({"zip", "extract", "fonts", "A/*.TXT", "-C", "sub/out"}, dir.path());
    ASSERT_EQ(r.status, 0) << r;
    std::vector<std::string> files;
    for (const auto &e : fs::recursive_directory_iterator(dir.file("sub/out")))
        if (e.is_regular_file()) files.push_back(fs::relative(e.path(), dir.file("sub/out")).string());
    EXPECT_EQ(files, std::vector<std::string>{"a/b/c.txt"}) << r;
    EXPECT_TRUE(read_bytes(dir.file("sub/out/a/b/c.txt")) == read_bytes(data("zip/src/a/b/c.txt")));
    EXPECT_TRUE(contains(r.out, "1 member extracted")) << r;
}

TEST(KxCliZip, MembersClimbingOutOfTheDirectoryAreRefused)
{
    // traversal.zip: inside.txt, then sub/../../evil2.txt and ../evil.txt.
    TempDir dir;
    Outcome r = kx({"zip", "extract", data("kx/traversal.zip"), "-C", dir.file("out")});
    EXPECT_EQ(r.status, 1) << r;
    EXPECT_TRUE(contains(r.err, "kx: zip extract: result 27 (invalid or unsupported file)")) << r;
    EXPECT_EQ(read_text(dir.file("out/inside.txt")), "inside\n");
    std::vector<std::string> top;
    for (const auto &e : fs::directory_iterator(dir.path())) top.push_back(e.path().filename().string());
    EXPECT_EQ(top, std::vector<std::string>{"out"}) << "something was written beside the target directory";
}

// --- INI, operator panels, QSF --------------------------------------------------------

TEST(KxCliIni, SetAddDeleteAndGetRoundTrip)
{
    TempDir dir;
    const std::string file = dir.file("printer.ini");
    write_text(file, "; settings\n[Paper]\nSize=Letter\n\n[Tray]\nSource=Auto\n");
    auto ok = [](const Outcome &r) {
        EXPECT_EQ(r.status, 0) << r;
        EXPECT_EQ(r.err, "") << r;
    };
    ok(kx({"ini", "set", file, "paper", "SIZE", "A4"}));             // replaced, spelled as given
    ok(kx({"ini", "set", file, "Finisher", "Staple", "On"}));        // a new section at the end
    ok(kx({"ini", "add", file, "tray", "source", "Manual"}));        // a second entry of the key
    ok(kx({"ini", "add", file, "TRAY", "SOURCE", "manual"}));        // already there: nothing added
    ok(kx({"ini", "delete", file, "Tray", "Source", "auto"}));       // the matching entry only
    EXPECT_EQ(read_text(file), "; settings\n[Paper]\nSIZE=A4\n\n[Tray]\nsource=Manual\n\n[Finisher]\nStaple=On\n");

    Outcome r = kx({"ini", "get", file, "PAPER", "size"});
    ok(r);
    EXPECT_EQ(r.out, "A4\n");
    r = kx({"ini", "get", file, "tray", "Source"});
    EXPECT_EQ(r.out, "Manual\n") << r;
    r = kx({"ini", "get", file, "Tray", "Missing", "--default", "Upper"});
    EXPECT_EQ(r.status, 0) << r;
    EXPECT_EQ(r.out, "Upper\n") << r;

    r = kx({"ini", "dump", file});
    ok(r);
    EXPECT_EQ(r.out, "[Paper]\nSIZE=A4\n[Tray]\nsource=Manual\n[Finisher]\nStaple=On\n");

    // set creates a missing file.
    ok(kx({"ini", "set", dir.file("new.ini"), "Paper", "Size", "A5"}));
    EXPECT_EQ(read_text(dir.file("new.ini")), "[Paper]\nSize=A5\n");
}

TEST(KxCliOpc, AnswersThePanelQuestionsWithoutChangingTheFile)
{
    TempDir dir;
    fs::copy_file(data("kx/opc012.cfg"), dir.file("opc012.cfg"));
    const Bytes before = read_bytes(dir.file("opc012.cfg"));
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string out;
    };
    const Case cases[] = {
        {{"limits", "12", "163"}, 0, "spin limits: 1 10 1\nedit length: 32\n"},
        {{"limits", "12", "0xa4"}, 0, "spin limits: -1 0 5\nedit length: 0\n"},
        {{"listing", "12", "163"}, 0, "3\n5\n7\n"},
        {{"listing", "12", "163", "--list", "2"}, 0, "9\n"},
        {{"listing", "12", "99"}, 1, ""},
        {{"defaults", "12", "1"}, 0, "control 0x00a3 default 5\ncontrol 0x00a4 default -2\n"},
        {{"omvars", "12", "1"}, 0, "1A2B\n00FF\n"},
        {{"omvars", "12", "2"}, 1, ""},
    };
    for (const auto &c : cases) {
        std::vector<std::string> args = {"opc"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        args.insert(args.end(), {"--dir", dir.path()});
        Outcome r = kx(args);
        EXPECT_EQ(r.status, c.status) << r;
        EXPECT_EQ(r.out, c.out) << r;
    }
    // Without --dir the file is looked for in the current directory.
    Outcome r = kx({"opc", "omvars", "12", "1"}, dir.path());
    EXPECT_EQ(r.out, "1A2B\n00FF\n") << r;
    EXPECT_TRUE(read_bytes(dir.file("opc012.cfg")) == before) << "read-only questions rewrote the file";
}

// A QSF file of type 2 with flags A and B set: block 1 (word 0x0203, ten bytes)
// and no blocks 2 and 5; the checksum over all words but the second.
Bytes make_qsf()
{
    Bytes f(74, 0);
    f[0] = 'Q';
    f[1] = 'S';
    f[4] = 2;
    f[5] = 1;
    f[6] = 1;
    f[44] = 74;           // block 1 offset
    f[48] = 0x03;         // block 1 word 0x0203, little-endian
    f[49] = 0x02;
    for (std::uint8_t i = 0; i < 10; ++i) f.push_back(static_cast<std::uint8_t>(0xA0 + i));
    std::uint16_t sum = 0;
    for (std::size_t i = 0; i + 1 < f.size(); i += 2)
        if (i != 2) sum = static_cast<std::uint16_t>(sum - (f[i] | f[i + 1] << 8));
    f[2] = static_cast<std::uint8_t>(sum);
    f[3] = static_cast<std::uint8_t>(sum >> 8);
    return f;
}

TEST(KxCliQsf, InfoBlockAndListSections)
{
    TempDir dir;
    const std::string file = dir.file("settings.qsf");
    write_bytes(file, make_qsf());

    Outcome r = kx({"qsf", "info", file, "--type", "2"});
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_EQ(r.out, file + ": valid QSF file of type 2\nblock 1: word 0x0203\nblock 2: absent\nblock 5: absent\n");

    // The block with its prefix: the length (i32) and the word high byte first.
    r = kx({"qsf", "block", file, "--type", "2", "--block", "1", "--out", dir.file("block.bin")});
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_EQ(hex(read_bytes(dir.file("block.bin"))),
              hex({0x0A, 0x00, 0x00, 0x00, 0x02, 0x03, 0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8, 0xA9}));

    r = kx({"qsf", "info", file, "--type", "3"});
    EXPECT_EQ(r.status, 1) << r;
    EXPECT_TRUE(contains(r.err, "result 44 (type mismatch)")) << r;

    Bytes damaged = make_qsf();
    damaged[80] ^= 0x01;
    write_bytes(file, damaged);
    r = kx({"qsf", "info", file, "--type", "2"});
    EXPECT_EQ(r.status, 1) << r;
    EXPECT_TRUE(contains(r.err, "result 43 (checksum mismatch)")) << r;

    const std::string lists = data("kx/lists.ini");
    r = kx({"qsf", "section", lists, "--list", "required", "--section", "5"});
    EXPECT_EQ(r.status, 0) << r;
    EXPECT_EQ(r.out, "001A\n002B\n0003\n") << r;
    // No 005EXCLUDE: the default exclude list.
    r = kx({"qsf", "section", lists, "--list", "exclude", "--section", "5"});
    EXPECT_EQ(r.status, 0) << r;
    EXPECT_EQ(r.out, "FFFF\n") << r;
}

// --- element blocks, web addresses ---------------------------------------------------

TEST(KxCliParse, PrintsTheRecordsOfTheCommittedBlocks)
{
    Outcome r = kx({"parse", "options", data("parse/options.bin")});
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_EQ(r.out, "options: 3\n"
                     "  option 1: value1 101, value5 1, text \"Duplex unit\"\n"
                     "  option 2: value1 102, value5 0, text \"Hole punch\"\n"
                     "  option 3: value1 103, value5 2, text \"\"\n"
                     "groups: 2\n"
                     "  group 1: text1 \"Paper\", text2 \"Cassettes\", values 3: 1 2 3\n"
                     "  group 2: text1 \"Output\", text2 (none), values 1: 4\n");

    r = kx({"parse", "jobaccount", data("parse/jobaccount.bin")});
    ASSERT_EQ(r.status, 0) << r;
    const auto split = r.out.find("alert:\n");
    ASSERT_NE(split, std::string::npos) << r;
    const std::string job = r.out.substr(0, split), alert = r.out.substr(split);
    for (const char *line : {"job:\n", "  1.1   123\n", "  1.7   \"JOB000123\"\n", "  2.1   \"Quarterly report.pdf\"\n",
                             "  2.2   \"alice\"\n", "  2.3   \"WS-ACCOUNTS\"\n", "  2.10  3\n"})
        EXPECT_TRUE(contains(job, line)) << line << r;
    for (const char *line : {"  2.6   \"Paper jam\"\n", "  2.8   \"J1234\"\n", "  3.4   9\n"})
        EXPECT_TRUE(contains(alert, line)) << line << r;

    // A file shorter than the length its block declares is refused before parsing.
    TempDir dir;
    Bytes block = read_bytes(data("parse/options.bin"));
    block.resize(10);
    write_bytes(dir.file("short.bin"), block);
    r = kx({"parse", "options", dir.file("short.bin")});
    EXPECT_EQ(r.status, 1) << r;
    EXPECT_TRUE(contains(r.err, "holds 10 bytes, but its block declares")) << r;
}

TEST(KxCliWeb, AddressesForPrinterPageAndLanguage)
{
    TempDir dir;
    write_text(dir.file("web.ini"), "[AREA_PREFIX]\nDRIVERS=https://mirror.example.org/EU\n"
                                    "[AREA]\nDRIVERS=\n"
                                    "[LANGUAGE]\n2=de\n"
                                    "[PRINTER]\n8=FS-1000\n");
    struct Case {
        std::vector<std::string> args;
        std::string out;
    };
    const Case cases[] = {
        {{"url", "--page", "drivers", "--language", "2"}, "https://support.example.com/NA/drivers/2\n"},
        {{"url", "--printer", "0", "--page", "techsupport", "--language", "7"},
         "https://support.example.com/NA/techsupport/7/8\n"},
        // The INI file replaces the prefix, empties the area and names language and printer.
        {{"url", "--printer", "0", "--language", "2", "--ini", dir.file("web.ini")},
         "https://mirror.example.org/EU/de/FS-1000\n"},
        {{"cgi", "--family", "1", "--model", "22", "--page", "techsupport", "--langid", "0x0407"},
         "https://support.example.com/MD/?func=support&lang=2&prtr=B001022&ctry=00000407&os=5\n"},
        {{"cgi", "--family", "3", "--model", "7", "--page", "3", "--langid", "0x0C04"},
         "https://support.example.com/MD/?func=homepage&lang=14&prtr=B003007&ctry=00000407&os=5\n"},
    };
    for (const auto &c : cases) {
        std::vector<std::string> args = {"web"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        // The user's language comes from the locale settings.
        Outcome r = kx(args, {}, {"LC_ALL=de_DE.UTF-8", "LC_MESSAGES=", "LANG="});
        EXPECT_EQ(r.status, 0) << r;
        EXPECT_EQ(r.out, c.out) << r;
    }
}

} // namespace
