#pragma once
// The contents of datora.dat: datums, groups of coordinate systems and their
// systems, and the file format that stores them. The file is text, one record
// a line with tab-separated fields, closed by a line that holds the record
// count and a CRC-32 of everything before it, so truncated or damaged files
// are refused as a whole.
#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quill32 {

struct DatumRecord {
    std::string key;
    std::string name;
};

struct SystemRecord {
    std::string key;
    std::string name;
    std::uint32_t datum = 0; // index into Database::datums: the system's own datum
    std::string units;
};

struct GroupRecord {
    std::string key;
    std::string name;
    std::vector<SystemRecord> systems;
    std::vector<std::uint32_t> validDatums; // sorted indexes into Database::datums
};

class Database {
public:
    std::vector<DatumRecord> datums;
    std::vector<GroupRecord> groups;

    // Writes the file format; the caller checks the stream.
    void write(std::ostream& out) const;

    // Reads and validates a whole file; false (with a reason) when the file
    // is missing, truncated, damaged or inconsistent.
    bool read(const std::string& path, std::string& error);
    bool parse(std::string_view text, std::string& error);

    // Look-ups by key or display name (exact, case-sensitive); -1 when absent.
    int findGroup(std::string_view nameOrKey) const;
    int findSystem(int group, std::string_view nameOrKey) const;
    int findDatum(std::string_view keyOrName) const;
    bool datumValidForGroup(int group, std::uint32_t datum) const;

    // Rebuilds the look-up tables after the records were filled by hand;
    // false when two datums, two groups or two systems of a group share a key.
    bool index();

private:
    std::unordered_map<std::string, int> groupIndex_;
    std::unordered_map<std::string, int> datumIndex_;
    std::vector<std::unordered_map<std::string, int>> systemIndex_;
};

std::uint32_t crc32(std::string_view data);

inline constexpr std::string_view kDatabaseMagic = "DATORA";
inline constexpr int kDatabaseVersion = 1;

} // namespace quill32
