#pragma once
// Everything that needs a person: message boxes, file dialogs, the shell's
// "open" action and the beep. The models call it; the window implements it
// with Qt, tests with a scripted fake. Called on the user-interface thread.

#include <optional>
#include <string>
#include <vector>

namespace tagmora {

enum class MessageIcon { None, Information, Warning, Error, Question };
enum class MessageButtons { Ok, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Yes, No, Cancel };

// A plain box (no icon, OK) takes the program's name as its caption.
inline constexpr const char* kProgramName = "Tagmora";

struct MessageBox {
  std::string caption;
  std::string text;
  MessageIcon icon = MessageIcon::None;
  MessageButtons buttons = MessageButtons::Ok;
};

struct FileDialog {
  std::string title;
  // One filter: its description ("Mp3 Files") and pattern ("*.mp3").
  std::string filterName;
  std::string filterPattern;
  std::string folder;         // where the dialog opens; empty for its own choice
  std::string proposedName;   // save dialogs: the file name offered
  std::string defaultSuffix;  // save dialogs: added to a name typed without one
  bool multiSelect = false;   // open dialogs
  bool mustExist = true;      // open dialogs: folder and files must exist
  bool confirmOverwrite = true;  // save dialogs
};

class UserInteraction {
 public:
  virtual ~UserInteraction() = default;

  virtual MessageAnswer Show(const MessageBox& box) = 0;
  // The chosen files in the dialog's order; empty when cancelled.
  virtual std::vector<std::string> OpenFiles(const FileDialog& dialog) = 0;
  // The chosen file, or nothing when cancelled.
  virtual std::optional<std::string> SaveFile(const FileDialog& dialog) = 0;
  // The chosen folder, or nothing when cancelled (title and folder apply).
  virtual std::optional<std::string> ChooseFolder(const FileDialog& dialog) = 0;
  // Hands a path or an address to the desktop; the result is not examined.
  virtual void OpenWithShell(const std::string& target) = 0;
  virtual void Beep() = 0;
};

}  // namespace tagmora
