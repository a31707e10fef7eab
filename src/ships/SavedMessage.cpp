#include "ships/SavedMessage.h"

#include "platform/OwnFolders.h"
#include "ships/ShipSaver.h"

namespace skarvel {

std::string savedMessage(const OwnFolders& folders) {
    if (folders.inProgramFolder) {
        return std::string(kSavedMessage);
    }
    return "                All Values have been saved\n\r\n\rA copy of the changed files have "
           "been made and is saved in\n\r" +
           folders.copiesBase +
           "data/\n\r(the folder of this tool cannot be written). You can simply copy that\n\r"
           "\\data directory to any other network computer/server you like to\n\ruse the same "
           "values. For example to play on you own server. Only\n\rcopy the \\data directory "
           "over the \\data directory of freelancer.\n\rOn this machine the original .inis are "
           "allready overwritten";
}

} // namespace skarvel
