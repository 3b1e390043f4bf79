#pragma once
// "TForm1": the main window. The playlist block on top, the page control
// with its six pages below, the main menu and the pop-up menus. It draws
// the main window model and forwards the user's clicks and keys to it.

#include <QHash>
#include <QMainWindow>

#include <memory>
#include <vector>

class QDialog;
class QListView;
class QMenu;
class QTableView;

namespace tagmora {

class AboutBox;
class AddFoldersDialog;
class ControlBinder;
class ErrorGridModel;
class MainWindowModel;
class MultiTaggerModel;
class OptionsDialog;
class Player;
class PlaylistListModel;
class SoundOptions;
class TagEditorModel;
class UndoModel;
class TFormSearchAndReplace;

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit MainWindow(MainWindowModel& model, QWidget* parent = nullptr);
  ~MainWindow() override;

  // The pop-up menu of that name, or null.
  QMenu* PopupMenu(const QString& name) const { return popups_.value(name); }
  OptionsDialog* Options() const { return options_; }
  AddFoldersDialog* AddFolders() const { return addFolders_; }
  AboutBox* About() const { return about_; }
  // Puts the player's group on the "Mp3 Player - MPEG info" page and its
  // "Sound" page in the options dialog.
  void AttachPlayer(Player& player, SoundOptions& sound);

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* BuildPlaylistBlock(QWidget* parent);
  QWidget* BuildPages(QWidget* parent);
  void BuildErrorsPage(QWidget* page);
  void BuildMenus();
  void ApplyLayout();
  void Started();
  void FitErrorColumns();
  // Opens a pop-up menu with its top-left corner at the widget's bottom-left.
  void PopupBelow(const QString& popup, QWidget* widget);

  MainWindowModel& model_;
  std::unique_ptr<TagEditorModel> editor_;
  std::unique_ptr<MultiTaggerModel> multiTagger_;
  std::unique_ptr<UndoModel> undo_;
  QWidget* client_ = nullptr;
  QWidget* playlistGroup_ = nullptr;
  QWidget* pageControl_ = nullptr;
  QListView* playlist_ = nullptr;
  QTableView* errorGrid_ = nullptr;
  QHash<QString, QMenu*> popups_;
  PlaylistListModel* playlistModel_ = nullptr;
  ErrorGridModel* errorModel_ = nullptr;
  std::vector<ControlBinder*> binders_;
  std::vector<QDialog*> modelDialogs_;  // the preview and the undo
  AddFoldersDialog* addFolders_ = nullptr;
  AboutBox* about_ = nullptr;
  OptionsDialog* options_ = nullptr;
  TFormSearchAndReplace* searchReplace_ = nullptr;
  bool closed_ = false;
};

}  // namespace tagmora
