#include "zip/extract.h"

#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

#include "api/byte_reader.h"
#include "api/result.h"
#include "platform/confined.h"
#include "platform/filetime.h"
#include "platform/path.h"
#include "zip/archive_input.h"
#include "zip/central_dir.h"
#include "zip/names.h"
#include "zip/workspace.h"

namespace kx::zip {

int result_of(Outcome o)
{
    switch (o) {
    case Outcome::Ok:
    case Outcome::Warning: return code(Result::Ok);
    case Outcome::Error: return code(Result::InvalidFile);
    case Outcome::NoMemory: return code(Result::NoMemory);
    case Outcome::CannotOpen: return code(Result::CannotOpen);
    case Outcome::MultiDisk: return code(Result::NotFound);
    case Outcome::CannotCreate: return code(Result::Sharing);
    case Outcome::DiskFull: return code(Result::DiskFull);
    case Outcome::UnexpectedEnd: return code(Result::UnexpectedEof);
    }
    return code(Result::SystemError);
}

namespace {

constexpr std::size_t kBatch = 64;

struct Kept {
    std::uint32_t local_offset;
    std::uint16_t flags;
    std::uint32_t crc32;
    std::uint32_t compressed_size;
    std::uint32_t uncompressed_size;
};

class Run {
public:
    Run(const ExtractRequest &req, Workspace &w) : req_(req), w_(w) {}
    Outcome go();

private:
    void note(Outcome o) { noted_ = worse(noted_, o); }
    // Extracts one member; false when the run must stop.
    bool extract_member(const Kept &k);
    Decode decode_member(unsigned method, unsigned flags, ChunkSource &src, Output &out);

    const ExtractRequest &req_;
    Workspace &w_;
    ArchiveInput in_;
    Outcome noted_ = Outcome::Ok;
    std::int64_t extra_ = 0;
    std::uint64_t running_total_ = 0;
};

bool read_sig(ArchiveInput &in, std::int64_t pos, std::uint32_t sig)
{
    if (pos < 0) return false;
    std::uint8_t b[4];
    return in.read_at(static_cast<std::uint64_t>(pos), b, 4) == 4 && ByteReader(b, 4).peek_u32le(0) == sig;
}

Outcome Run::go()
{
    if (!in_.open(req_.archive, req_.archive_size)) return Outcome::CannotOpen;
    const std::uint64_t size = req_.archive_size;

    std::uint8_t work[kBlock + kHold + 1];
    EndRecord rec;
    switch (find_end_record(in_, size, work, rec)) {
    case EndSearch::NotFound: return Outcome::Error;
    case EndSearch::ShortRecord: return Outcome::UnexpectedEnd;
    case EndSearch::Found: break;
    }
    if (rec.this_disk == 1 && rec.cd_disk == 1) note(Outcome::Warning);
    else if (rec.this_disk >= 1) return worse(noted_, Outcome::MultiDisk);

    std::int64_t cd_offset = rec.cd_offset;
    extra_ = static_cast<std::int64_t>(rec.position) - std::int64_t(rec.cd_size) - cd_offset;
    if (extra_ < 0) {
        note(Outcome::Error);
    } else if (extra_ > 0) {
        // Bytes in front of the archive, such as a program stub.
        note(Outcome::Warning);
        if (rec.cd_offset == 0 && rec.cd_size != 0) {
            cd_offset = extra_;
            extra_ = 0;
            note(Outcome::Error);
        }
    }
    if (rec.cd_size == 0 && rec.cd_offset == 0) return worse(noted_, Outcome::Warning);

    if (!read_sig(in_, cd_offset + extra_, kSigCentral)) {
        if (!read_sig(in_, cd_offset, kSigCentral)) return worse(noted_, Outcome::Error);
        extra_ = 0;
        note(Outcome::Error);
    }

    std::uint64_t pos = static_cast<std::uint64_t>(cd_offset + extra_);
    const unsigned entries = rec.entries_total;
    unsigned read_count = 0;
    bool skipped = false;
    bool directory_read = true;
    std::vector<Kept> kept;
    kept.reserve(kBatch);
    CentralEntry e;
    for (;;) {
        kept.clear();
        bool stop_reading = false;
        while (read_count < entries && kept.size() < kBatch) {
            const EntryRead r = read_central_entry(in_, size, pos, e);
            if (r != EntryRead::Ok) {
                note(r == EntryRead::NoSignature ? Outcome::Error : Outcome::UnexpectedEnd);
                stop_reading = true;
                directory_read = false;
                break;
            }
            ++read_count;
            running_total_ += e.compressed_size;
            if (e.name_cut) note(Outcome::Warning);
            if (!req_.pattern.empty() && !pattern_match(req_.pattern, e.name)) continue;
            // Members needing a later version, tokenized or unknown methods,
            // encrypted members and members from VMS hosts (whose handling
            // asks the user) are left alone.
            if (e.host_needed == kHostVms || e.version_needed > kMaxVersionNeeded || e.method == kTokenized ||
                e.method > kDeflated || (e.flags & kFlagEncrypted)) {
                skipped = true;
                continue;
            }
            kept.push_back({e.local_header_offset, e.flags, e.crc32, e.compressed_size, e.uncompressed_size});
        }
        for (const Kept &k : kept)
            if (!extract_member(k)) return noted_;
        if (stop_reading || read_count >= entries) break;
    }
    if (directory_read && !read_sig(in_, static_cast<std::int64_t>(pos), kSigEnd)) note(Outcome::Warning);
    if (skipped) note(Outcome::Warning);
    return noted_;
}

Decode Run::decode_member(unsigned method, unsigned flags, ChunkSource &src, Output &out)
{
    switch (method) {
    case kStored: return copy_stored(src, out);
    case kShrunk: return unshrink(src, out, w_);
    case kImploded:
        return explode(src, out, w_, (flags & kFlagImplode8K) != 0, (flags & kFlagImplodeLiteralTree) != 0);
    case kDeflated: return inflate(src, out, w_);
    default:
        if (method >= kReduced1 && method <= kReduced4) return unreduce(src, out, method - kReduced1 + 1);
        return Decode::Corrupt;
    }
}

bool Run::extract_member(const Kept &k)
{
    const std::uint64_t size = req_.archive_size;
    const std::int64_t lh = extra_ + std::int64_t(k.local_offset);
    std::uint8_t h[kLocalFixedSize] = {};
    ByteReader r(h, sizeof h);
    if (lh < 0 || in_.read_at(static_cast<std::uint64_t>(lh), h, kLocalFixedSize) != kLocalFixedSize ||
        r.u32le() != kSigLocal) {
        note(Outcome::Error);
        return true;
    }
    r.skip(2);  // version needed
    const unsigned flags = r.u16le();
    const unsigned method = r.u16le();
    const std::uint16_t mod_time = r.u16le();
    const std::uint16_t mod_date = r.u16le();
    std::uint32_t crc = r.u32le();
    std::uint32_t csize = r.u32le();
    std::uint32_t usize = r.u32le();
    const unsigned name_len = r.u16le();
    const unsigned extra_len = r.u16le();
    if (flags & kFlagDataDescriptor) {
        // The sizes and CRC follow the data; the central directory has them.
        crc = k.crc32;
        csize = k.compressed_size;
        usize = k.uncompressed_size;
    }
    std::string name(name_len > kMaxName ? kMaxName : name_len, '\0');
    const std::uint64_t name_pos = static_cast<std::uint64_t>(lh) + kLocalFixedSize;
    if (in_.read(reinterpret_cast<std::uint8_t *>(name.data()), name.size()) != name.size()) {
        note(Outcome::Error);
        return true;
    }
    if (name_len > kMaxName) note(Outcome::Warning);

    const MappedName m = map_member_name(name);
    if (m.refused) {
        note(Outcome::Error);
        return true;
    }
    platform::ConfinedDir dir;
    if (!dir.open_start(req_.target_dir)) {
        note(Outcome::Error);
        return true;
    }
    for (const auto &part : m.dirs) {
        if (dir.enter(part) != platform::DirStep::Ok) {
            note(Outcome::Error);
            return true;
        }
    }
    if (m.directory_entry) return true;
    if (m.file.empty()) {
        note(Outcome::Error);
        return true;
    }
    // The member's data must lie inside the archive.
    const std::uint64_t data_pos = name_pos + name_len + extra_len;
    if (data_pos > size || csize > size - data_pos) {
        note(Outcome::Error);
        return true;
    }

    Outcome member = Outcome::Ok;
    platform::Fd fd = dir.create_file(m.file);
    if (!fd) {
        member = Outcome::CannotCreate;
    } else {
        in_.seek(data_pos);
        ChunkSource src(in_, csize);
        Output out;
        const bool zero_history = method >= kShrunk && method <= kImploded;
        out.start(w_.window, fd.get(), nullptr, usize, zero_history);
        Decode d = decode_member(method, flags, src, out);
        if (d == Decode::Ok) d = out.flush();
        if (d == Decode::WriteFailed) member = Outcome::DiskFull;
        else if (d != Decode::Ok) member = Outcome::Error;
        // Data that ends before the declared size is as damaged as data that runs past it.
        else if (out.produced() != usize) member = Outcome::Error;
        else if (out.crc() != crc) member = Outcome::Warning;
        platform::set_write_time_dos(fd.get(), mod_date, mod_time);
        if (!fd.close() && member == Outcome::Ok) member = Outcome::DiskFull;
    }
    note(member);
    if (req_.callback) {
        if (member != Outcome::Ok) return false;
        // The size reported is the directory's, the one the running total
        // holds, so the share never passes 100 even when a local header
        // disagrees with its directory entry.
        const std::uint32_t reported = k.compressed_size;
        std::uint16_t percent = 0;
        if (running_total_)
            percent = static_cast<std::uint16_t>((std::uint64_t(reported) * 200 + running_total_) / (2 * running_total_));
        req_.callback(m.path.c_str(), reported, percent);
        return true;
    }
    return member != Outcome::DiskFull;
}

// The archive's status: size when it is there and not a directory.
bool archive_status(const std::string &path, std::string &resolved, std::uint64_t &size)
{
    resolved = platform::resolve_for_read(path);
    std::error_code ec;
    const auto st = std::filesystem::status(resolved, ec);
    if (ec || !std::filesystem::exists(st) || std::filesystem::is_directory(st)) return false;
    size = std::filesystem::file_size(resolved, ec);
    if (ec) size = 0;
    return true;
}

} // namespace

Outcome extract_archive(const ExtractRequest &req, Workspace &w)
{
    Run run(req, w);
    return run.go();
}

int explode(const char *archive, const char *pattern, MemberCallback callback, std::string_view target_dir)
{
    ExtractRequest req;
    std::string path(archive);
    if (!archive_status(path, req.archive, req.archive_size) &&
        !archive_status(path + ".zip", req.archive, req.archive_size))
        return code(Result::NotFound);
    req.pattern = pattern ? std::string_view(pattern) : std::string_view();
    req.callback = callback;
    req.target_dir = std::string(target_dir);
    std::unique_ptr<Workspace, void (*)(Workspace *)> w(new_workspace(), delete_workspace);
    if (!w) return code(Result::NoMemory);
    return result_of(extract_archive(req, *w));
}

} // namespace kx::zip
