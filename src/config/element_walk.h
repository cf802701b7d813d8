// Walking the children of a container element. A level hands each child to
// its handler, which consumes the element (reading its value or walking its
// children) or steps over it; any failed read fails the walk.
#pragma once

#include "config/element_stream.h"

namespace kx::parse {

// Reads count elements and hands each with its index to handle(element, index).
// The count must fit in the bytes left, so a wild count fails before any
// work or allocation sized by it.
template <class Handler>
bool walk(ElementStream &s, std::uint32_t count, Handler &&handle)
{
    if (!s.children_fit(count)) return false;
    for (std::uint32_t i = 0; i < count; ++i) {
        Element e;
        if (!s.next(e) || !handle(e, i)) return false;
    }
    return true;
}

// Descends into a consumed element: the children of a container, while an
// integer or text element in a container's place is consumed without any.
template <class Handler>
bool walk_children(ElementStream &s, const Element &e, Handler &&handle)
{
    if (e.type != kTypeContainer) return s.skip(e);
    return walk(s, e.count, handle);
}

// The child count a consumed element gives its level (0 for a value).
inline std::uint32_t child_count(const Element &e) { return e.type == kTypeContainer ? e.count : 0; }

} // namespace kx::parse
