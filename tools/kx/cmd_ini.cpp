// kx ini: read, change and list INI files through the library's INI engine.
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "cli.h"

namespace {

using namespace kxcli;

extern const Command kIni;

// Opens for changing: the file as it is (comments kept), created when missing.
KxIniHandle *open_for_change(const std::string &path)
{
    KxIniHandle *h = KxIniOpen2(path.c_str(), KX_INI_READWRITE);
    return h ? h : KxIniOpen2(path.c_str(), KX_INI_APPEND);
}

int finish_change(KxIniHandle *h, int ok, const char *what)
{
    int closed = KxIniClose(h);
    if (!ok) {
        std::fprintf(stderr, "kx ini %s: out of memory\n", what);
        return kExitFailure;
    }
    if (!closed) {
        std::fprintf(stderr, "kx ini %s: the file could not be written back (left as it was)\n", what);
        return kExitFailure;
    }
    return kExitOk;
}

// Section names from the file's header lines, for dumping a whole file.
std::vector<std::string> section_names(const std::string &path)
{
    std::vector<std::string> names;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            std::string n = line.substr(1, line.size() - 2);
            bool seen = false;
            for (const auto &x : names) seen = seen || x == n;
            if (!seen) names.push_back(n);
        }
    }
    return names;
}

int run_ini(const Args &args)
{
    Options opts(args, {"--default"}, {});
    if (!opts.ok()) return usage_error(kIni, opts.error());
    const auto &p = opts.positionals();
    if (p.size() < 2) return usage_error(kIni, "give an action (get, set, add, delete, dump) and a FILE");
    const std::string &action = p[0], &file = p[1];

    if (action == "get") {
        if (p.size() != 4) return usage_error(kIni, "get takes FILE SECTION KEY");
        KxIniHandle *h = KxIniOpen2(file.c_str(), KX_INI_READ);
        if (!h) return report_result("ini get: cannot open " + file, KX_ERR_OPEN);
        std::string buf(65536, '\0');
        uint32_t len = 0;
        std::string def = opts.value("--default");
        int rc = KxIniRead2(h, p[2].c_str(), p[3].c_str(), opts.has("--default") ? def.c_str() : nullptr,
                            buf.data(), static_cast<uint32_t>(buf.size()), &len);
        KxIniClose(h);
        if (rc == 0 || rc == KX_INI_DEFAULT_USED) {
            std::printf("%s\n", buf.c_str());
            if (rc == KX_INI_DEFAULT_USED) std::fprintf(stderr, "kx ini get: not found, default used\n");
            return kExitOk;
        }
        return report_result("ini get", rc);
    }
    if (action == "set" || action == "add") {
        if (p.size() != 5) return usage_error(kIni, action + " takes FILE SECTION KEY VALUE");
        KxIniHandle *h = open_for_change(file);
        if (!h) return report_result("ini " + action + ": cannot open " + file, KX_ERR_OPEN);
        int ok = action == "set" ? KxIniWrite(h, p[2].c_str(), p[3].c_str(), p[4].c_str())
                                 : KxIniWriteAll(h, p[2].c_str(), p[3].c_str(), p[4].c_str());
        return finish_change(h, ok, action.c_str());
    }
    if (action == "delete") {
        if (p.size() < 3 || p.size() > 5) return usage_error(kIni, "delete takes FILE SECTION [KEY [VALUE]]");
        KxIniHandle *h = KxIniOpen2(file.c_str(), KX_INI_READWRITE);
        if (!h) return report_result("ini delete: cannot open " + file, KX_ERR_OPEN);
        int ok = KxIniDelete(h, p[2].c_str(), p.size() > 3 ? p[3].c_str() : nullptr,
                             p.size() > 4 ? p[4].c_str() : nullptr);
        return finish_change(h, ok, "delete");
    }
    if (action == "dump") {
        KxIniHandle *h = KxIniOpen2(file.c_str(), KX_INI_READ);
        if (!h) return report_result("ini dump: cannot open " + file, KX_ERR_OPEN);
        std::vector<std::string> sections(p.begin() + 2, p.end());
        if (sections.empty()) sections = section_names(file);
        for (const auto &s : sections) {
            std::printf("[%s]\n", s.c_str());
            // The continued search: the section's first line, then the ones after it.
            for (const char *line = KxIniRead(h, s.c_str(), nullptr); *line; line = KxIniRead(h, nullptr, nullptr))
                std::printf("%s\n", line);
        }
        KxIniClose(h);
        return kExitOk;
    }
    return usage_error(kIni, "unknown action '" + action + "'");
}

const Command kIni = {"ini", "read, change and list INI files", R"(Usage: kx ini get FILE SECTION KEY [--default TEXT]
       kx ini set FILE SECTION KEY VALUE
       kx ini add FILE SECTION KEY VALUE
       kx ini delete FILE SECTION [KEY [VALUE]]
       kx ini dump FILE [SECTION...]

Section names and keys ignore letter case.
  get     print the value (with --default, the default when it is missing)
  set     replace the key's first entry in the section, or add it (the
          section is created at the end when missing; FILE when missing)
  add     add KEY=VALUE unless the same entry is there (a key may repeat)
  delete  remove the first matching entry, or without KEY the section
          header alone (its entries join the section before)
  dump    print the sections' lines (comments and empty lines left out)

Changes are written back through a temporary file renamed over FILE, so a
failed write leaves FILE as it was.

Example: kx ini set printer.ini Paper Size A4)",
                      run_ini};

Registration reg_ini{kIni};

} // namespace
