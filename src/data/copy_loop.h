// The copy loop: moves a file's bytes into an open output channel, as they
// are or as upper-case hexadecimal text. Used by raw sends and by every
// download that carries a file payload.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string_view>
#include <vector>

#include "output/channel.h"

namespace kx::data {

enum CopyMode : int {
    kCopyBinary = 0,
    kCopyHex = 1,
};

// Block sizes: one 2048-byte buffer; hexadecimal blocks read 1024 bytes and
// send 2048 characters.
inline constexpr std::size_t kCopyBlock = 2048;

// Copies from the stream's current position to its end. Returns 6 on a read
// error, 32 for a mode other than binary or hexadecimal (nothing is sent),
// else the channel's nResult (0 when every write went through).
int copy_loop(std::FILE *in, output::Channel &ch, int mode);

// Writes the 2n upper-case hexadecimal digits of n bytes to out.
void hex_encode(const std::uint8_t *in, std::size_t n, char *out);

// A command string of KxDatSendString decoded: the bytes to send, or the
// path of a file to send.
struct CommandString {
    enum Kind { Bytes, File, Invalid } kind = Invalid;
    std::vector<std::uint8_t> bytes;
    std::string_view file;  // borrows the command text, for Kind::File
};
// Decodes "$text", "%path" or hexadecimal pairs. Invalid for an odd length or
// a non-hexadecimal pair. Throws std::bad_alloc when memory runs out.
CommandString decode_command_string(std::string_view text);

} // namespace kx::data
