#pragma once
// The bodies of the multi-tagger page's "Auto complete", "String format"
// and "Search and Replace" panels. Each body is a column (a QVBoxLayout)
// that may already hold the panel's step switches; they move into their
// rows, and the panel's other controls are added, each named after its
// control so that the window's binder shows and drives it.

class QWidget;

namespace tagmora {

class SearchReplaceList;

void FillAutoCompleteBody(QWidget* body);
void FillStringFormatBody(QWidget* body);
void FillSearchReplaceBody(QWidget* body, SearchReplaceList& rules);

}  // namespace tagmora
