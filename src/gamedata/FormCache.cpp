#include "gamedata/FormCache.h"

namespace skarvel {

const std::string& FormCache::formOf(const std::string& path, const std::string& bytes,
                                     const std::function<std::string(const std::string&)>& make) {
    Known& known = known_[path];
    if (known.bytes != bytes || (known.bytes.empty() && known.form.empty())) {
        known.form = make(bytes);
        known.bytes = bytes;
    }
    return known.form;
}

} // namespace skarvel
