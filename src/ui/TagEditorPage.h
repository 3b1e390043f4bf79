#pragma once
// The widgets of the "ID3 Tags" page: the path, the ID3v1 and ID3v2 groups
// and the command buttons, each named after its control of the tag editor
// model, so that the window's binder shows and drives them.

#include <QWidget>

#include <utility>

class QLabel;

namespace tagmora {

struct TagField;

class TagEditorPage : public QWidget {
  Q_OBJECT

 public:
  // Fills page (the "TabSheetId3" sheet) with the editor.
  explicit TagEditorPage(QWidget* page);
};

// A field's label and box, named after their controls: a line edit that
// takes at most the field's characters, a text box of several lines for a
// "Memo", a genre list for a "Combo" (the ID3v2 one takes any text).
std::pair<QLabel*, QWidget*> MakeField(const TagField& field, QWidget* parent);

}  // namespace tagmora
