#include "ui/LinkLabel.h"

#include <QMouseEvent>

#include <array>

namespace tagmora {

const char* LinkPrefix(TLinkType type) {
  static constexpr std::array<const char*, 9> kPrefixes = {
      "file://", "ftp://", "gopher://", "http://", "https://",
      "mailto:", "news:",  "telnet:",   "wais:"};
  return kPrefixes[static_cast<size_t>(type)];
}

TLinkLabel::TLinkLabel(QWidget* parent) : QLabel(parent) {
  QFont font = this->font();
  font.setUnderline(true);
  setFont(font);
  QPalette palette = this->palette();
  palette.setColor(QPalette::WindowText, Qt::blue);
  setPalette(palette);
  setCursor(Qt::PointingHandCursor);
}

void TLinkLabel::SetHyperLink(const std::string& address) {
  hyperLink_ = address;
  if (text().isEmpty()) setText(QString::fromStdString(address));
}

std::string TLinkLabel::Address() const { return LinkPrefix(linkType_) + hyperLink_; }

void TLinkLabel::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  if (event->button() != Qt::LeftButton || !rect().contains(event->position().toPoint())) return;
  if (opener_) opener_(Address());
}

}  // namespace tagmora
