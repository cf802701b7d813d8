// Job accounting and alert data: a job record and an alert record.
//
// Element tree (numbers are element numbers within their parent):
//   1 (top, repeated)         container
//     1                       container; its children are stepped over
//     2                       job:   1 -> job fields 1.n, 2 -> job fields 2.n
//     3                       alert: 1, 2, 3 -> alert fields 1.n, 2.n, 3.n
// Top-level elements are read until the block ends.
#include <algorithm>
#include <cstring>
#include <memory>
#include <string_view>

#include "api/memory.h"
#include "config/element_walk.h"
#include "config/parse.h"

namespace kx::parse {

namespace {

// Where element n of a field container goes in its record: a little-endian
// i32 (size 0) or a terminated text field of size bytes.
struct Slot {
    std::uint32_t element;
    std::uint16_t offset;
    std::uint16_t size;
};

constexpr Slot kJob1[] = {{1, 0, 0},  {2, 4, 0},   {3, 8, 0},   {4, 12, 0},  {5, 16, 0}, {6, 20, 0},
                          {7, 24, 10}, {8, 34, 0}, {9, 38, 0}, {10, 42, 0}, {11, 46, 16}};
constexpr Slot kJob2[] = {{1, 62, 41},  {2, 103, 21}, {3, 124, 21}, {4, 145, 0}, {5, 149, 0},
                          {6, 153, 0},  {7, 157, 0},  {8, 161, 0},  {9, 165, 0}, {10, 169, 0}};
constexpr Slot kAlert1[] = {{1, 0, 0}};
constexpr Slot kAlert2[] = {{1, 4, 0},   {2, 8, 0},  {3, 12, 0}, {4, 16, 0},
                            {5, 20, 0},  {6, 24, 16}, {7, 40, 0}, {8, 44, 10}};
constexpr Slot kAlert3[] = {{1, 54, 0}, {2, 58, 0}, {3, 62, 0}, {4, 66, 0}, {5, 70, 0}};

static_assert(sizeof(KxJobRecord) == 173 && sizeof(KxAlertRecord) == 74);

struct JobParser {
    ElementStream &s;
    KxJobAccount &account;

    // One child of a field container: stored when its number has a slot.
    bool store(const Element &e, std::span<const Slot> slots, std::uint8_t *record)
    {
        auto slot = std::find_if(slots.begin(), slots.end(), [&](const Slot &x) { return x.element == e.number; });
        if (slot == slots.end()) return s.skip(e);
        std::uint8_t *field = record + slot->offset;
        if (slot->size == 0) {
            std::int32_t n = 0;
            if (!s.integer(e, n)) return false;
            auto u = static_cast<std::uint32_t>(n);
            const std::uint8_t le[4] = {std::uint8_t(u), std::uint8_t(u >> 8), std::uint8_t(u >> 16),
                                        std::uint8_t(u >> 24)};
            std::memcpy(field, le, 4);
            return true;
        }
        std::string_view text;
        if (!s.text(e, text)) return false;
        // A text longer than its field less one byte is cut to fit.
        std::size_t n = std::min<std::size_t>(text.size(), slot->size - 1u);
        std::memset(field, 0, slot->size);
        if (n) std::memcpy(field, text.data(), n);
        return true;
    }

    // A field container: its children are stored by slots.
    bool fields(const Element &e, std::span<const Slot> slots, void *record)
    {
        auto *bytes = static_cast<std::uint8_t *>(record);
        return walk_children(s, e, [&](const Element &f, std::uint32_t) { return store(f, slots, bytes); });
    }

    bool job_part(const Element &e, KxJobRecord *job)
    {
        if (e.number == 1) return fields(e, kJob1, job);
        if (e.number == 2) return fields(e, kJob2, job);
        return s.skip(e);
    }

    bool alert_part(const Element &e, KxAlertRecord *alert)
    {
        if (e.number == 1) return fields(e, kAlert1, alert);
        if (e.number == 2) return fields(e, kAlert2, alert);
        if (e.number == 3) return fields(e, kAlert3, alert);
        return s.skip(e);
    }

    // Children of a top-level container 1.
    bool top_field(const Element &e)
    {
        switch (e.number) {
        case 1:
            return walk_children(s, e, [&](const Element &child, std::uint32_t) { return s.skip(child); });
        case 2: {
            // A later job element replaces an earlier one.
            auto *job = static_cast<KxJobRecord *>(caller_calloc(sizeof(KxJobRecord)));
            if (!job) return false;
            caller_free(account.pJob);
            account.pJob = job;
            return walk_children(s, e, [&](const Element &child, std::uint32_t) { return job_part(child, job); });
        }
        case 3: {
            auto *alert = static_cast<KxAlertRecord *>(caller_calloc(sizeof(KxAlertRecord)));
            if (!alert) return false;
            caller_free(account.pAlert);
            account.pAlert = alert;
            return walk_children(s, e,
                                 [&](const Element &child, std::uint32_t) { return alert_part(child, alert); });
        }
        default:
            return s.skip(e);
        }
    }

    bool run()
    {
        while (!s.at_end()) {
            std::size_t before = s.pos();
            Element e;
            if (!s.next(e)) return false;
            bool ok = e.number == 1 && e.type == kTypeContainer
                          ? walk(s, e.count, [&](const Element &child, std::uint32_t) { return top_field(child); })
                          : s.skip(e);
            if (!ok) return false;
            // An element of no bytes (a layout without tag or container
            // fields) would be read again and again.
            if (s.pos() == before) return false;
        }
        return true;
    }
};

struct JobAccountDeleter {
    void operator()(KxJobAccount *p) const { free_job_account(p); }
};

} // namespace

KxJobAccount *parse_job_account(std::span<const std::uint8_t> block)
{
    ElementStream s(block);
    if (!s.ok()) return nullptr;
    std::unique_ptr<KxJobAccount, JobAccountDeleter> account(
        static_cast<KxJobAccount *>(caller_calloc(sizeof(KxJobAccount))));
    if (!account) return nullptr;
    JobParser parser{s, *account};
    if (!parser.run()) return nullptr;
    return account.release();
}

void free_job_account(KxJobAccount *account)
{
    if (!account) return;
    caller_free(account->pJob);
    caller_free(account->pAlert);
    caller_free(account);
}

} // namespace kx::parse
