#include "gamedata/DataSetObjects.h"
#include "gamedata/PendingChanges.h"
#include "platform/AsciiText.h"
#include "platform/CaseInsensitivePath.h"

#include <algorithm>
#include <stdexcept>

namespace skarvel {

std::string resourceIniPath(const std::string& programFolder) {
    std::string path = programFolder;
    if (!path.empty() && path.back() != '/') {
        path += '/';
    }
    return resolveCaseInsensitive(path + "resource.ini");
}

DataSet::Objects& DataSet::objects() const {
    if (!objects_) {
        throw std::runtime_error("The data files are not open");
    }
    return *objects_;
}

TUserIniFile& DataSet::ini(SettingsFile which) const {
    if (which == SettingsFile::MarketCommodities) {
        std::unique_ptr<TUserIniFile>& market = objects().marketCommodities;
        if (!market) {
            market = std::make_unique<TUserIniFile>(
                resolveCaseInsensitive(files_.dataDir + "Equipment/market_commodities.ini"),
                journal_);
        }
        return *market;
    }
    return objects().inis[static_cast<std::size_t>(which)];
}

void DataSet::FlushIniFiles() const {
    // The order the save has always synced them in.
    using enum SettingsFile;
    for (const SettingsFile which :
         {ShipArch, MiscEquip, Constants, EngineEquip, Resource, Goods, NewCharacter}) {
        ini(which).Flush();
    }
    if (objects().marketCommodities) {
        objects().marketCommodities->Flush();
    }
    for (const auto& file : objects().modFiles) {
        file.second->Flush();
    }
}

TUserIniFile& DataSet::resourceIni() const {
    return ini(SettingsFile::Resource);
}
TUserIniFile& DataSet::shipArchIni() const {
    return ini(SettingsFile::ShipArch);
}
TUserIniFile& DataSet::goodsIni() const {
    return ini(SettingsFile::Goods);
}
TUserIniFile& DataSet::newCharacterIni() const {
    return ini(SettingsFile::NewCharacter);
}
TUserIniFile& DataSet::constantsIni() const {
    return ini(SettingsFile::Constants);
}
TUserIniFile& DataSet::miscEquipIni() const {
    return ini(SettingsFile::MiscEquip);
}
TUserIniFile& DataSet::engineEquipIni() const {
    return ini(SettingsFile::EngineEquip);
}

TUserIniFile& DataSet::iniOf(const SectionRef& ref) const {
    if (ref.file != SettingsFile::ModFile) {
        return ini(ref.file);
    }
    // Its path comes from a data file: never a file outside the game's data.
    if (ref.path.size() <= files_.dataDir.size() ||
        !startsWithIgnoringCase(ref.path, files_.dataDir) ||
        ref.path.find("/../") != std::string::npos) {
        throw std::runtime_error(ref.path + " is not a file of the game's data folder");
    }
    std::unique_ptr<TUserIniFile>& file = objects().modFiles[ref.path];
    if (!file) {
        file = std::make_unique<TUserIniFile>(ref.path, journal_);
        if (std::find(modFiles_.begin(), modFiles_.end(), ref.path) == modFiles_.end()) {
            modFiles_.push_back(ref.path);
        }
    }
    return *file;
}

} // namespace skarvel
