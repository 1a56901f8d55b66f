#pragma once
// Points the two registry hives at temporary files with the given texts for
// the lifetime of the object and restores the environment afterwards.
// An empty optional leaves that hive's file absent. The footprint cache goes
// to the same temporary folder, so no test shares one with another.
#include "temp_dir.h"

#include <cstdlib>
#include <optional>
#include <string>

namespace testsupport {

class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name))
            old_ = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

// A local-machine hive naming `folder` as the coordinate-system database's.
inline std::string databaseHive(const std::string& folder) {
    return "REGEDIT4\n\n[Software\\Quorvane Geo]\n\"DataBasePath\"=\"" + folder + "\"\n";
}

class HiveEnv {
public:
    explicit HiveEnv(std::optional<std::string> systemText,
                     std::optional<std::string> userText = std::string("REGEDIT4\n\n"))
        : system_("KAVREL_SYSTEM_HIVE", dir_ / "system.reg"),
          user_("KAVREL_USER_HIVE", dir_ / "user.reg"), cache_("XDG_CACHE_HOME", dir_ / "cache") {
        if (systemText)
            dir_.writeFile("system.reg", *systemText);
        if (userText)
            dir_.writeFile("user.reg", *userText);
    }

    std::string systemPath() const { return dir_ / "system.reg"; }
    std::string userPath() const { return dir_ / "user.reg"; }
    std::string systemText() const { return TempDir::readFile(systemPath()); }
    std::string userText() const { return TempDir::readFile(userPath()); }
    const TempDir& dir() const { return dir_; }

private:
    TempDir dir_;
    ScopedEnv system_;
    ScopedEnv user_;
    ScopedEnv cache_;
};

} // namespace testsupport
