#pragma once
// The short description of a failed file operation that the program's
// messages start with ("File access denied", "Disk full"), followed by the
// system's own text.

#include <string>

namespace tagmora {

std::string IoErrorDescription(int error);

}  // namespace tagmora
