#include "app/IoError.h"

#include <cerrno>

namespace tagmora {

std::string IoErrorDescription(int error) {
  switch (error) {
    case ENOENT: return "File not found";
    case ENOTDIR: return "Path not found";
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY: return "File access denied";
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return "Disk full";
    case EMFILE:
    case ENFILE: return "Too many open files";
    case ENAMETOOLONG: return "File name too long";
    default: return "I/O error " + std::to_string(error);
  }
}

}  // namespace tagmora
