#pragma once

namespace skarvel {

// The result of the update dialog that its caller reads after it has closed. The values are
// part of the contract with the caller and keep their numbers.
enum class UpdateOutcome { Error = 3, NoConnection = 5, Downloaded = 6, NotDownloaded = 7 };

} // namespace skarvel
