#pragma once
#include <optional>
#include <string>

namespace kovo {

// The per-user settings store: integer and text values under named sections.
// Value names match without regard to letter case, so "AFGainRange" and
// "AfGainRange" are one value; writing a value that is already stored under
// another spelling replaces it rather than adding a second one.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // Nothing when the value is missing or is not a 32-bit integer.
    virtual std::optional<int> readInt(const std::string& section,
                                       const std::string& name) const = 0;
    virtual std::optional<std::string> readString(const std::string& section,
                                                  const std::string& name) const = 0;

    // Each write reaches the backing file before it returns.
    virtual void writeInt(const std::string& section, const std::string& name, int value) = 0;
    virtual void writeString(const std::string& section, const std::string& name,
                             const std::string& value) = 0;
    virtual void remove(const std::string& section, const std::string& name) = 0;
    // False when the last write could not reach the backing file.
    virtual bool lastWriteSucceeded() const = 0;
};

} // namespace kovo
