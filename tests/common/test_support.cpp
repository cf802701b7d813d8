#include "common/test_support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace kxtest {

TempDir::TempDir()
{
    std::string tmpl = (std::filesystem::temp_directory_path() / "kxtest.XXXXXX").string();
    if (!::mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
    path_ = tmpl;
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

Bytes read_bytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string read_text(const std::string &path)
{
    Bytes b = read_bytes(path);
    return std::string(b.begin(), b.end());
}

void write_bytes(const std::string &path, const Bytes &data)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(data.data()), static_cast<std::streamsize>(data.size()));
}

void write_text(const std::string &path, std::string_view text) { write_bytes(path, bytes_of(text)); }

bool file_exists(const std::string &path) { return std::filesystem::exists(path); }

Bytes bytes_of(std::string_view s) { return Bytes(s.begin(), s.end()); }

Bytes concat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const auto &p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

std::string hex(const Bytes &b)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string s;
    for (std::size_t i = 0; i < b.size(); ++i) {
        if (i) s += ' ';
        s += digits[b[i] >> 4];
        s += digits[b[i] & 15];
    }
    return s;
}

std::string data_path(std::string_view rel)
{
    const char *root = std::getenv("KX_TEST_DATA");
    std::string base = root ? root : KX_TEST_DATA_DIR;
    return base + "/" + std::string(rel);
}

} // namespace kxtest
