// Option information: a list of options and a list of option groups.
//
// Element tree (numbers are element numbers within their parent):
//   1 (top)                      container
//     1                          options: one container per option
//       k: 1 integer, 5 integer, 6 text
//     3                          groups: one container per group
//       g: 1 text, 2 text, 3 values: one container per value
//            v: 1 integer
// Elements with other numbers are stepped over.
#include <cstring>
#include <memory>
#include <string_view>

#include "api/memory.h"
#include "config/element_walk.h"
#include "config/parse.h"

namespace kx::parse {

namespace {

// A copy of text, terminated, from the caller heap; null when memory runs out.
char *copy_text(std::string_view text)
{
    auto *p = static_cast<char *>(caller_alloc(text.size() + 1));
    if (!p) return nullptr;
    if (!text.empty()) std::memcpy(p, text.data(), text.size());
    p[text.size()] = '\0';
    return p;
}

// Replaces *slot by a copy of text; false when memory runs out.
bool set_text(char *&slot, std::string_view text)
{
    char *copy = copy_text(text);
    if (!copy) return false;
    caller_free(slot);
    slot = copy;
    return true;
}

void free_options(KxOptionInfo &info)
{
    KxOptionEntry *options = info.pOptions;
    for (std::int32_t i = 0; options && i < info.nOptions; ++i) caller_free(options[i].pszText);
    caller_free(options);
    info.pOptions = nullptr;
    info.nOptions = 0;
}

void free_groups(KxOptionInfo &info)
{
    KxOptionGroup *groups = info.pGroups;
    for (std::int32_t i = 0; groups && i < info.nGroups; ++i) {
        caller_free(groups[i].pszText1);
        caller_free(groups[i].pszText2);
        caller_free(groups[i].pnValues);
    }
    caller_free(groups);
    info.pGroups = nullptr;
    info.nGroups = 0;
}

// A zeroed array of count records; null for count 0. ok is false when
// memory runs out.
template <class T>
T *zeroed_array(std::uint32_t count, bool &ok)
{
    ok = true;
    if (count == 0) return nullptr;
    auto *p = static_cast<T *>(caller_calloc(std::size_t(count) * sizeof(T)));
    ok = p != nullptr;
    return p;
}

struct OptionParser {
    ElementStream &s;
    KxOptionInfo &info;

    // Children of one option container.
    bool option_field(const Element &e, KxOptionEntry &option)
    {
        std::int32_t n = 0;
        std::string_view text;
        switch (e.number) {
        case 1:
            if (!s.integer(e, n)) return false;
            option.nValue1 = n;
            return true;
        case 5:
            if (!s.integer(e, n)) return false;
            option.nValue5 = n;
            return true;
        case 6: {
            if (!s.text(e, text)) return false;
            char *slot = option.pszText;
            bool ok = set_text(slot, text);  // an empty text is kept as ""
            option.pszText = slot;
            return ok;
        }
        default:
            return s.skip(e);
        }
    }

    // Children of one value container of a group.
    bool value_field(const Element &e, std::int32_t &value)
    {
        if (e.number != 1) return s.skip(e);
        return s.integer(e, value);
    }

    // Children of one group container.
    bool group_field(const Element &e, KxOptionGroup &group)
    {
        std::string_view text;
        switch (e.number) {
        case 1:
        case 2: {
            if (!s.text(e, text)) return false;
            if (text.empty()) return true;  // an empty text leaves the pointer as it was
            char *slot = e.number == 1 ? group.pszText1 : group.pszText2;
            bool ok = set_text(slot, text);
            if (e.number == 1)
                group.pszText1 = slot;
            else
                group.pszText2 = slot;
            return ok;
        }
        case 3: {
            std::uint32_t count = child_count(e);
            if (!s.children_fit(count)) return false;
            bool ok = true;
            auto *values = zeroed_array<std::int32_t>(count, ok);
            if (!ok) return false;
            caller_free(group.pnValues);
            group.pnValues = values;
            group.nValues = static_cast<std::int32_t>(count);
            return walk_children(s, e, [&](const Element &child, std::uint32_t v) {
                return walk_children(s, child, [&](const Element &f, std::uint32_t) {
                    return value_field(f, values[v]);
                });
            });
        }
        default:
            return s.skip(e);
        }
    }

    // Children of the top-level container 1.
    bool top_field(const Element &e)
    {
        bool ok = true;
        std::uint32_t count = child_count(e);
        if (e.number == 1) {
            if (!s.children_fit(count)) return false;
            free_options(info);  // a repeated list replaces the earlier one
            auto *options = zeroed_array<KxOptionEntry>(count, ok);
            if (!ok) return false;
            info.pOptions = options;
            info.nOptions = static_cast<std::int32_t>(count);
            return walk_children(s, e, [&](const Element &child, std::uint32_t k) {
                return walk_children(s, child, [&](const Element &f, std::uint32_t) {
                    return option_field(f, options[k]);
                });
            });
        }
        if (e.number == 3) {
            if (!s.children_fit(count)) return false;
            free_groups(info);
            auto *groups = zeroed_array<KxOptionGroup>(count, ok);
            if (!ok) return false;
            info.pGroups = groups;
            info.nGroups = static_cast<std::int32_t>(count);
            return walk_children(s, e, [&](const Element &child, std::uint32_t g) {
                return walk_children(s, child, [&](const Element &f, std::uint32_t) {
                    return group_field(f, groups[g]);
                });
            });
        }
        return s.skip(e);
    }

    // The stream holds one top-level element; what follows it is not read.
    bool run()
    {
        Element e;
        if (!s.next(e)) return false;
        if (e.number == 1 && e.type == kTypeContainer)
            return walk(s, e.count, [&](const Element &child, std::uint32_t) { return top_field(child); });
        return s.skip(e);
    }
};

struct OptionInfoDeleter {
    void operator()(KxOptionInfo *p) const { free_option_info(p); }
};

} // namespace

KxOptionInfo *parse_option_info(std::span<const std::uint8_t> block)
{
    ElementStream s(block);
    if (!s.ok()) return nullptr;
    std::unique_ptr<KxOptionInfo, OptionInfoDeleter> info(
        static_cast<KxOptionInfo *>(caller_calloc(sizeof(KxOptionInfo))));
    if (!info) return nullptr;
    OptionParser parser{s, *info};
    if (!parser.run()) return nullptr;
    return info.release();
}

void free_option_info(KxOptionInfo *info)
{
    if (!info) return;
    free_options(*info);
    free_groups(*info);
    caller_free(info);
}

} // namespace kx::parse
