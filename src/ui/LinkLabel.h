#pragma once
// A label that looks like a link and hands its address, with the scheme's
// prefix, to the shell's open action when clicked.

#include <QLabel>

#include <functional>
#include <string>

namespace tagmora {

enum class TLinkType { ltfile, ltftp, ltgopher, lthttp, lthttps, ltmailto, ltnews, lttelnet, ltwais };

// The text put in front of the address, e.g. "mailto:".
const char* LinkPrefix(TLinkType type);

class TLinkLabel : public QLabel {
  Q_OBJECT

 public:
  // Receives the whole address on a click; the owner routes it to the
  // shell's open action.
  using Opener = std::function<void(const std::string& address)>;

  explicit TLinkLabel(QWidget* parent = nullptr);

  TLinkType LinkType() const { return linkType_; }
  void SetLinkType(TLinkType type) { linkType_ = type; }

  const std::string& HyperLink() const { return hyperLink_; }
  // An empty caption takes the address as its text.
  void SetHyperLink(const std::string& address);

  void SetOpener(Opener opener) { opener_ = std::move(opener); }

  // The prefix followed by the address.
  std::string Address() const;

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  TLinkType linkType_ = TLinkType::lthttp;
  std::string hyperLink_;
  Opener opener_;
};

}  // namespace tagmora
