// The INI loader and a sequence of operations on the loaded lines. After the
// operations, the list links and the section index are checked against a
// plain walk of the lines.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "config/ini_file.h"

using namespace kx::config;

namespace {

const char *const kNames[] = {"S", "s", "A", "a=b", "[a", "b]", "", "Key", "KEY", "v", "x y", ";c"};

std::string pick(FuzzedDataProvider &in)
{
    if (in.ConsumeBool()) return kNames[in.ConsumeIntegralInRange<std::size_t>(0, std::size(kNames) - 1)];
    return in.ConsumeRandomLengthString(40);
}

void check(const KxIniHandle &h)
{
    std::size_t n = 0;
    const IniLine *prev = &h.head;
    for (const IniLine *l = h.head.next; l; l = l->next) {
        if (l->prev != prev) std::abort();
        std::size_t eq = l->text().find('=');
        if (l->eq != (eq == std::string_view::npos ? IniLine::npos : eq)) std::abort();
        if (l->is_entry() && l->key_hash != ini_key_hash(l->key())) std::abort();
        prev = l;
        ++n;
    }
    if (n != h.count || prev != h.tail) std::abort();
    // Every "[name]" line: the index gives the first line of that text in file order.
    for (const IniLine *l = h.head.next; l; l = l->next) {
        std::string_view t = l->text();
        if (t.size() < 2 || t.front() != '[' || t.back() != ']' || t.size() - 2 > kIniMaxSectionName) continue;
        std::string_view name(t.data() + 1, t.size() - 2);
        const IniLine *first = nullptr;
        for (const IniLine *m = h.head.next; m && !first; m = m->next)
            if (ini_iequals(m->text(), t)) first = m;
        if (find_section(h, name) != first) std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    const int modes[] = {kIniModeRead, kIniModeReadWrite, kIniModeTruncate, kIniModeAppend};
    int mode = modes[in.ConsumeIntegralInRange(0, 3)];
    std::string text = in.ConsumeRandomLengthString(4096);
    std::unique_ptr<KxIniHandle> h(ini_from_text(text, mode));
    if (!h) return 0;
    check(*h);
    for (int step = 0; step < 32 && in.remaining_bytes() > 0; ++step) {
        std::string sec = pick(in), key = pick(in), value = pick(in);
        bool null_key = in.ConsumeBool(), null_value = in.ConsumeBool();
        switch (in.ConsumeIntegralInRange(0, 5)) {
        case 0: {
            std::vector<char> buf(in.ConsumeIntegralInRange<std::size_t>(1, 64));
            std::uint32_t len = 0;
            int rc = ini_read2(*h, sec.c_str(), key.c_str(), null_value ? nullptr : value.c_str(), buf.data(),
                               static_cast<std::uint32_t>(buf.size()), len);
            if ((rc == 0 || rc == 48) && (len >= buf.size() || buf[len] != '\0')) std::abort();
            if (rc == 42 && len != buf.size()) std::abort();
            break;
        }
        case 1: {
            const char *r = ini_read(*h, in.ConsumeBool() ? sec.c_str() : nullptr, null_key ? nullptr : key.c_str());
            (void)std::strlen(r);
            break;
        }
        case 2: ini_write(*h, sec, key, value); break;
        case 3: ini_write_all(*h, sec, key, value); break;
        case 4: ini_delete(*h, sec, null_key ? nullptr : key.c_str(), null_value ? nullptr : value.c_str()); break;
        default: (void)ini_render(*h); break;
        }
        check(*h);
    }
    return 0;
}
