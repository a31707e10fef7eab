#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace skarvel {

class DataSet;

// Which ships carry an engine or power plant: every ship whose package good names it, found
// as a ship load finds them (ship -> hull good -> package good -> its lines). Ships whose
// hull good is not found count for nothing.
class EquipmentUsers {
public:
    // One pass over the goods and the ships of the open set; names: the ship list's entries.
    EquipmentUsers(const DataSet& dataSet, const std::vector<std::string>& names);

    // The ships that use the equipment, the one at row shown among them or not.
    struct Users {
        std::size_t count = 0;           // all of them
        std::vector<std::string> others; // the list entries of all but the one shown
    };
    Users usersOfEngine(std::string_view engine, std::size_t shown) const;
    Users usersOfPower(std::string_view power, std::size_t shown) const;

private:
    struct ShipEquipment {
        std::size_t row = 0;
        std::string engine;
        std::string power;
    };
    template <typename Uses> Users users(std::size_t shown, Uses&& uses) const;

    std::vector<std::string> names_;
    std::vector<ShipEquipment> ships_;
};

// "used by 3 ships" for equipment more than one ship uses; empty otherwise.
std::string usedByText(const EquipmentUsers::Users& users);
// "Drake, Sabre".
std::string joinedNames(const std::vector<std::string>& names);

} // namespace skarvel
