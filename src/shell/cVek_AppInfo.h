// Application information: the program's name, short code, version and the upgrade level found
// when the settings file was written by another version. Created first by the set-up function
// and deleted by the shutdown callback; while one exists, cVek_AppInfo::Instance() reaches it.
#pragma once

#include <cstdint>
#include <string>

class cVek_AppInfo {
public:
    cVek_AppInfo();
    ~cVek_AppInfo();
    cVek_AppInfo(const cVek_AppInfo&) = delete;
    cVek_AppInfo& operator=(const cVek_AppInfo&) = delete;

    static cVek_AppInfo* Instance();

    static const char* Name() { return "Scribbix"; }
    // Used for the per-user settings folder "Vekstal/Sx".
    const char* ShortCode() const { return "Sx"; }
    // Three decimal digits: 100 is 1.0.0.
    uint32_t Version() const { return kVersion; }
    uint32_t SubVersion() const { return kSubVersion; }
    // The version's digits joined by points, "1.0.0".
    static std::string VersionText();
    // "Scribbix v1.0.0".
    static std::string WindowTitle();

    // 0 same version, 1 only the sub-version is newer, 2 the version is newer within the same
    // tens, 3 its tens digit is newer, 4 its hundreds digit is newer. A file from a newer program
    // counts as 0 (nothing to upgrade).
    static int UpgradeLevelFor(uint32_t fileVersion, uint32_t fileSubVersion) {
        return UpgradeLevelBetween(kVersion, kSubVersion, fileVersion, fileSubVersion);
    }
    // The same rule for any running version.
    static int UpgradeLevelBetween(uint32_t version, uint32_t subVersion, uint32_t fileVersion, uint32_t fileSubVersion);

    // The settings file's version record: {settings version 100, 0, version and sub-version of
    // the program that wrote the file}. Sets the upgrade level from it, then writes the current
    // version into it so the next save records this program.
    void CheckVersion(uint32_t record[4]);
    int UpgradeLevel() const { return upgradeLevel_; }

    // The version record this program writes.
    void FillVersionRecord(uint32_t record[4]) const;

    static constexpr uint32_t kVersion = 100;
    static constexpr uint32_t kSubVersion = 0;
    static constexpr uint32_t kSettingsVersion = 100;

private:
    int upgradeLevel_ = 0;
};
