#pragma once
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

// Helpers shared by the data-core tests.
namespace kovo::test {

// Sets TZ for the lifetime of the object.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone) {
        if (const char* old = std::getenv("TZ")) {
            hadOld_ = true;
            old_ = old;
        }
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~ScopedTimeZone() {
        if (hadOld_)
            ::setenv("TZ", old_.c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }

private:
    bool hadOld_ = false;
    std::string old_;
};

inline std::vector<std::uint8_t> bytesOf(std::string_view text) {
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

inline std::string hex(const std::vector<std::uint8_t>& bytes, std::size_t from,
                       std::size_t count) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (std::size_t i = from; i < from + count && i < bytes.size(); ++i) {
        if (!out.empty())
            out.push_back(' ');
        out.push_back(digits[bytes[i] >> 4]);
        out.push_back(digits[bytes[i] & 15]);
    }
    return out;
}

// A unique scratch directory under the system's temporary directory, removed
// with its contents at the end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

std::vector<std::uint8_t> readFileBytes(const std::string& path);
void writeFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

} // namespace kovo::test
