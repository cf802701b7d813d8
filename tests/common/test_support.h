// Helpers shared by the test suites: private temporary directories, whole
// files as bytes, and readable byte comparisons.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kxtest {

using Bytes = std::vector<std::uint8_t>;

// A fresh directory under the temporary directory, removed with its contents
// when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;
    const std::string &path() const { return path_; }
    std::string file(std::string_view name) const { return path_ + "/" + std::string(name); }

private:
    std::string path_;
};

Bytes read_bytes(const std::string &path);        // empty when missing
std::string read_text(const std::string &path);   // empty when missing
void write_bytes(const std::string &path, const Bytes &data);
void write_text(const std::string &path, std::string_view text);
bool file_exists(const std::string &path);

Bytes bytes_of(std::string_view s);               // the characters as bytes
Bytes concat(std::initializer_list<Bytes> parts);
std::string hex(const Bytes &b);                  // "1B 5B 4B ..." for failure messages

// Path of a committed fixture: tests/data/<rel>.
std::string data_path(std::string_view rel);

} // namespace kxtest
