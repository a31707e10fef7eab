#include "gamedata/BackupManifest.h"

#include <chrono>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <stdexcept>

namespace skarvel {

std::string manifestToJson(const BackupManifest& manifest) {
    nlohmann::ordered_json files = nlohmann::ordered_json::array();
    for (const BackupFile& file : manifest.files) {
        files.push_back({{"path", file.path}, {"size", file.size}, {"sha256", file.sha256}});
    }
    nlohmann::ordered_json json = {{"time", manifest.time}};
    if (!manifest.utc.empty()) {
        json["utc"] = manifest.utc;
    }
    json["version"] = manifest.version;
    json["cause"] = manifest.cause;
    json["game"] = manifest.game;
    if (manifest.objects) {
        json["store"] = "objects";
    }
    json["files"] = files;
    // Paths are the game's bytes, not always UTF-8: keep them as they are.
    return json.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

BackupManifest manifestFromJson(std::string_view text) {
    try {
        const auto json = nlohmann::json::parse(text);
        BackupManifest manifest;
        manifest.time = json.at("time").get<std::string>();
        manifest.utc = json.value("utc", std::string());
        manifest.version = json.at("version").get<std::string>();
        manifest.cause = json.at("cause").get<std::string>();
        manifest.game = json.value("game", std::string());
        const std::string store = json.value("store", std::string());
        if (!store.empty() && store != "objects") {
            throw std::runtime_error("not a backup manifest: unknown store " + store);
        }
        manifest.objects = store == "objects";
        for (const auto& file : json.at("files")) {
            manifest.files.push_back({file.at("path").get<std::string>(),
                                      file.at("size").get<std::uint64_t>(),
                                      file.at("sha256").get<std::string>()});
        }
        return manifest;
    } catch (const nlohmann::json::exception& error) {
        throw std::runtime_error(std::string("not a backup manifest: ") + error.what());
    }
}

std::optional<std::int64_t> utcMicroseconds(std::string_view isoTime) {
    const std::string text(isoTime);
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    int used = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d%n", &year, &month, &day, &hour, &minute,
                    &second, &used) != 6 ||
        used != 19) {
        return std::nullopt;
    }
    std::string_view rest = isoTime.substr(19);
    std::int64_t micros = 0;
    if (rest.starts_with('.')) {
        std::int64_t scale = 100000;
        rest.remove_prefix(1);
        while (!rest.empty() && rest.front() >= '0' && rest.front() <= '9') {
            micros += (rest.front() - '0') * scale;
            scale /= 10;
            rest.remove_prefix(1);
        }
    }
    std::int64_t offsetSeconds = 0;
    if (rest == "Z") {
        offsetSeconds = 0;
    } else if (rest.size() == 6 && (rest[0] == '+' || rest[0] == '-') && rest[3] == ':') {
        int offsetHours = 0, offsetMinutes = 0;
        if (std::sscanf(std::string(rest.substr(1)).c_str(), "%2d:%2d", &offsetHours,
                        &offsetMinutes) != 2) {
            return std::nullopt;
        }
        offsetSeconds = (rest[0] == '-' ? -1 : 1) * (offsetHours * 3600 + offsetMinutes * 60);
    } else {
        return std::nullopt;
    }
    using namespace std::chrono;
    if (month < 1 || day < 1 || hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 ||
        second > 60) {
        return std::nullopt;
    }
    const year_month_day date{std::chrono::year(year),
                              std::chrono::month(static_cast<unsigned>(month)),
                              std::chrono::day(static_cast<unsigned>(day))};
    if (!date.ok()) {
        return std::nullopt;
    }
    const std::int64_t seconds = std::int64_t{sys_days(date).time_since_epoch().count()} * 86400 +
                                 hour * 3600 + minute * 60 + second - offsetSeconds;
    return seconds * 1000000 + micros;
}

std::optional<std::int64_t> instantOf(const BackupManifest& manifest) {
    if (const auto utc = utcMicroseconds(manifest.utc)) {
        return utc;
    }
    return utcMicroseconds(manifest.time);
}

} // namespace skarvel
