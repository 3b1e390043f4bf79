#pragma once
// Recovery of interrupted tag writes for tagmora-cli: before every command,
// and as the command "recover".

namespace tagmora::cli {

// Applies what the journal holds; what concerns the user goes to standard
// error as "MESSAGE PATH" lines.
void RecoverBeforeCommand();

// tagmora-cli recover: prints every record handled on standard output.
// 0, or 1 when a file had changed since or could not be undone.
int Recover();

}  // namespace tagmora::cli
