// Application information and the upgrade level computed from the settings file's version record.
#include "shell/cVek_AppInfo.h"

namespace {
cVek_AppInfo* g_appInfo = nullptr;
} // namespace

cVek_AppInfo::cVek_AppInfo() { g_appInfo = this; }

cVek_AppInfo::~cVek_AppInfo() {
    if (g_appInfo == this) g_appInfo = nullptr;
}

cVek_AppInfo* cVek_AppInfo::Instance() { return g_appInfo; }

std::string cVek_AppInfo::VersionText() {
    const std::string digits = std::to_string(kVersion);
    std::string text;
    for (char d : digits) {
        if (!text.empty()) text += '.';
        text += d;
    }
    return text;
}

std::string cVek_AppInfo::WindowTitle() { return std::string(Name()) + " v" + VersionText(); }

int cVek_AppInfo::UpgradeLevelBetween(uint32_t version, uint32_t subVersion, uint32_t fileVersion,
                                      uint32_t fileSubVersion) {
    if (fileVersion == version) return subVersion > fileSubVersion ? 1 : 0;
    if (fileVersion > version) return 0;
    if (version / 100 > fileVersion / 100) return 4;
    if (version / 10 > fileVersion / 10) return 3;
    return 2;
}

void cVek_AppInfo::CheckVersion(uint32_t record[4]) {
    upgradeLevel_ = UpgradeLevelFor(record[2], record[3]);
    FillVersionRecord(record);
}

void cVek_AppInfo::FillVersionRecord(uint32_t record[4]) const {
    record[0] = kSettingsVersion;
    record[1] = 0;
    record[2] = kVersion;
    record[3] = kSubVersion;
}
