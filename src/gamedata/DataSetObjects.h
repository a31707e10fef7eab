#pragma once

#include "gamedata/DataSet.h"
#include "gamedata/UserIniFile.h"
#include "platform/CaseInsensitivePath.h"

#include <array>
#include <map>
#include <memory>
#include <string>

namespace skarvel {

// The program's resource.ini in its folder.
std::string resourceIniPath(const std::string& programFolder);

// Made in the order of SettingsFile; each journals its creation.
struct DataSet::Objects {
    Objects(TJournal& journal, const std::string& programFolder, const DataFileSet& files)
        : inis{TUserIniFile(resourceIniPath(programFolder), journal),
               TUserIniFile(files.files[kShipArch], journal),
               TUserIniFile(resolveCaseInsensitive(files.dataDir + "Equipment/Goods.ini"), journal),
               TUserIniFile(files.files[kNewCharacter], journal),
               TUserIniFile(files.files[kConstants], journal),
               TUserIniFile(files.files[kMiscEquip], journal),
               TUserIniFile(files.files[kEngineEquip], journal)} {}

    std::array<TUserIniFile, kSettingsFileCount> inis;
    std::unique_ptr<TUserIniFile> marketCommodities;               // on first use
    std::map<std::string, std::unique_ptr<TUserIniFile>> modFiles; // by path, on first use
};

} // namespace skarvel
