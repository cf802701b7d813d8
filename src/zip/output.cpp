#include <new>

#include "platform/file.h"
#include "zip/crc32.h"
#include "zip/workspace.h"

namespace kx::zip {

Decode Output::flush()
{
    std::size_t n = pos - flushed_;
    Decode result = Decode::Ok;
    if (written_ + n > limit_) {
        // Never write past the declared size: the member is in error.
        n = static_cast<std::size_t>(limit_ - written_);
        result = Decode::TooLong;
    }
    if (n) {
        const std::uint8_t *p = buf + flushed_;
        crc_ = crc32_update(crc_, p, n);
        if (collect_) {
            collect_->insert(collect_->end(), p, p + n);
        } else if (fd_ >= 0 && !platform::write_all(fd_, p, n)) {
            return Decode::WriteFailed;
        }
        written_ += n;
    }
    if (result != Decode::Ok) return result;
    flushed_ = pos;
    if (pos >= kFlushAt) {
        std::memmove(buf, buf + pos - kWindow, kWindow);
        base_ += pos - kWindow;
        pos = flushed_ = kWindow;
    }
    return Decode::Ok;
}

Workspace *new_workspace()
{
    Workspace *w = new (std::nothrow) Workspace;
    if (w) w->fixed_ready = false;
    return w;
}

void delete_workspace(Workspace *w) { delete w; }

std::uint8_t *output_buffer(Workspace &w) { return w.window; }

Decode copy_stored(ChunkSource &in, Output &out)
{
    const std::uint8_t *p, *end;
    while (in.next(p, end)) {
        Decode d = out.put(p, static_cast<std::size_t>(end - p));
        if (d != Decode::Ok) return d;
    }
    return Decode::Ok;
}

} // namespace kx::zip
