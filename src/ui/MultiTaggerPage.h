#pragma once
// The widgets of the "Multi Tagger" page: the settings panel with the field
// boxes and their templates, the option panels and the page's buttons, and
// in the same place the progress panels of the update and remove-tags jobs.
// Each widget is named after its control of the multi-tagger model, so that
// the window's binder shows and drives them.

#include <QWidget>

namespace tagmora {

class SearchReplaceList;

class MultiTaggerPage : public QWidget {
  Q_OBJECT

 public:
  // Fills page (the "TabSheetMultiTag" sheet); the rule list of the
  // "Search and Replace" panel draws rules.
  MultiTaggerPage(QWidget* page, SearchReplaceList& rules);
};

}  // namespace tagmora
