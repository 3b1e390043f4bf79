#pragma once
// "TFormSearchAndReplace": the rule editor, drawn over its model. The
// model decides what a save does and when the dialog closes.

#include <QDialog>

namespace tagmora {

class SearchReplaceEditor;

class TFormSearchAndReplace : public QDialog {
  Q_OBJECT

 public:
  TFormSearchAndReplace(SearchReplaceEditor& editor, QWidget* parent = nullptr);
  ~TFormSearchAndReplace() override;

  // Runs modally with the boxes as the model set them.
  int ShowModal();

 private:
  SearchReplaceEditor& editor_;
};

}  // namespace tagmora
