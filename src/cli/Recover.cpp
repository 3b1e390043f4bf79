#include "cli/Recover.h"

#include <cstdio>

#include "platform/Journal.h"

namespace tagmora::cli {

void RecoverBeforeCommand() {
  for (const RecoveryReport& report : RecoverJournal())
    if (report.ConcernsUser())
      std::fprintf(stderr, "%s%s\n", report.message.c_str(), report.path.c_str());
}

int Recover() {
  int exitCode = 0;
  for (const RecoveryReport& report : RecoverJournal()) {
    std::printf("%s%s\n", report.message.c_str(), report.path.c_str());
    if (report.ConcernsUser() && report.outcome != RecoveryReport::Outcome::Undone) exitCode = 1;
  }
  std::fflush(stdout);
  return exitCode;
}

}  // namespace tagmora::cli
