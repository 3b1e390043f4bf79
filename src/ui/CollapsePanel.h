#pragma once
// A panel with a header button across its top that folds the panel to the
// header's height and unfolds it again in visible steps. In auto-close mode
// it folds by itself a while after the pointer has left it, unless the
// header is pressed in.

#include <QFrame>
#include <QIcon>
#include <QString>
#include <QTimer>

#include <vector>

class QPushButton;

namespace tagmora {

class TCollapsePanel : public QFrame {
  Q_OBJECT

 public:
  explicit TCollapsePanel(QWidget* parent = nullptr);

  bool Collapsed() const { return collapsed_; }
  // Writing the current value changes nothing but redraws the panel.
  void SetCollapsed(bool collapsed);

  int CollapseSpeed() const { return collapseSpeed_; }
  // Throws std::invalid_argument("0<Speed<100") outside 1 to 99 and keeps
  // the old speed.
  void SetCollapseSpeed(int speed);

  bool AutoClose() const { return autoClose_; }
  void SetAutoClose(bool on);
  int AutoCloseTime() const { return autoCloseTime_; }
  void SetAutoCloseTime(int milliseconds);
  bool Pinned() const { return pinned_; }

  // The height the panel returns to when it unfolds.
  int ExpandedHeight() const { return expandedHeight_; }
  // Sets the panel's height; when folded, only the height to return to.
  void SetPanelHeight(int height);

  QString HeaderCaption() const;
  void SetHeaderCaption(const QString& caption);
  void SetHeaderLeft(int left);
  void SetHeaderTop(int top);
  void SetHeaderWidth(int width);
  int HeaderHeight() const { return headerHeight_; }
  void SetHeaderHeight(int height);
  void SetHeaderGlyph(const QIcon& glyph);
  void SetHeaderFlat(bool flat);
  void SetHeaderTransparent(bool transparent);
  // With top alignment the header spans the panel's width.
  void SetHeaderAlignTop(bool alignTop);

  QPushButton* Header() const { return header_; }
  // The area below the header that holds the panel's controls.
  QWidget* Body() const { return body_; }

  // True while a fold or unfold is still stepping.
  bool Animating() const { return !steps_.empty(); }

  QSize sizeHint() const override;

 signals:
  // Emitted first on every header click, before the panel reacts.
  void HeaderClick();
  // Emitted for each height the panel passes through while folding or
  // unfolding, the end height included.
  void HeightStepped(int height);
  // Emitted when a fold or unfold begins.
  void CollapsedChanged(bool collapsed);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  void HeaderClicked();
  void Fold();
  void Unfold();
  // Runs the steps at once when the panel is hidden, else one per tick.
  void StartSteps(std::vector<int> steps);
  void NextStep();
  void ApplyHeight(int height);
  void PlaceChildren();

  QPushButton* header_;
  QWidget* body_;
  QTimer stepTimer_;
  QTimer autoCloseTimer_;
  std::vector<int> steps_;
  size_t nextStep_ = 0;

  bool collapsed_ = false;
  int height_ = 100;
  int expandedHeight_ = 100;
  int collapseSpeed_ = 4;
  bool autoClose_ = false;
  int autoCloseTime_ = 1500;
  bool pinned_ = false;

  int headerLeft_ = 0;
  int headerTop_ = 0;
  int headerWidth_ = 20;
  int headerHeight_ = 20;
  bool headerAlignTop_ = true;
};

}  // namespace tagmora
