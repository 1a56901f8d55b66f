#pragma once
// The coordinate-system database (datora.dat) for C++ callers: its groups of
// coordinate systems, their systems and the datums, as values. A value keeps
// the contents it was read from alive, so it stays usable after the database
// it came from is gone. The Datora_* functions are built on these classes.
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace quill32 {

class Database; // the records of one file

class Datum {
public:
    const std::string& key() const;
    const std::string& name() const;

private:
    friend class CoordSys;
    friend class CoordSysDatabase;
    Datum(std::shared_ptr<const Database> data, std::size_t index);

    std::shared_ptr<const Database> data_;
    std::size_t index_;
};

class CoordSys {
public:
    const std::string& key() const;
    const std::string& name() const;
    const std::string& units() const;
    // The datum the system is most used with.
    Datum datum() const;

private:
    friend class CoordSysGroup;
    CoordSys(std::shared_ptr<const Database> data, std::size_t group, std::size_t index);

    std::shared_ptr<const Database> data_;
    std::size_t group_;
    std::size_t index_;
};

class CoordSysGroup {
public:
    const std::string& key() const;
    const std::string& name() const;

    // The group's systems in database order; `system` throws
    // std::out_of_range for an index at or beyond systemCount().
    std::size_t systemCount() const;
    CoordSys system(std::size_t index) const;
    // By display name or key (exact, letter case counts).
    std::optional<CoordSys> findSystem(std::string_view nameOrKey) const;
    // True when the datum with exactly this key may be used with the group.
    bool datumKeyValid(std::string_view datumKey) const;

private:
    friend class CoordSysDatabase;
    CoordSysGroup(std::shared_ptr<const Database> data, std::size_t index);

    std::shared_ptr<const Database> data_;
    std::size_t index_;
};

class CoordSysDatabase {
public:
    // Reads and checks the whole file; nothing (and the reason in `error`,
    // when given) when it is missing, truncated or damaged. Opens of the
    // same unchanged file share one copy of its contents.
    static std::optional<CoordSysDatabase> open(const std::string& path,
                                                std::string* error = nullptr);

    // Groups and datums in database order; `group` and `datum` throw
    // std::out_of_range for an index at or beyond the count.
    std::size_t groupCount() const;
    CoordSysGroup group(std::size_t index) const;
    // By display name or key (exact, letter case counts).
    std::optional<CoordSysGroup> findGroup(std::string_view nameOrKey) const;

    std::size_t datumCount() const;
    Datum datum(std::size_t index) const;
    // By key or display name (exact, letter case counts).
    std::optional<Datum> findDatum(std::string_view keyOrName) const;

private:
    explicit CoordSysDatabase(std::shared_ptr<const Database> data);

    std::shared_ptr<const Database> data_;
};

} // namespace quill32
