#pragma once

#include <functional>
#include <map>
#include <string>

namespace skarvel {

// A form of files made from their bytes (their closed form, with plain headers), kept with
// the bytes it was made from: a save changes one or two of the files, and the backup before
// it and the copies after it need the form of every one.
class FormCache {
public:
    // make(bytes), or what it gave for the same bytes of that file before.
    const std::string& formOf(const std::string& path, const std::string& bytes,
                              const std::function<std::string(const std::string&)>& make);

private:
    struct Known {
        std::string bytes;
        std::string form;
    };
    std::map<std::string, Known> known_;
};

} // namespace skarvel
