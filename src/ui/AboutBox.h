#pragma once
// "TFormAbout": the product's name, its version with the release date and
// its addresses; fixed size, centred on the main window, closed by OK.

#include <QDialog>

#include <functional>
#include <string>

namespace tagmora {

class TLinkLabel;

class AboutBox : public QDialog {
  Q_OBJECT

 public:
  using Opener = std::function<void(const std::string&)>;
  AboutBox(Opener opener, QWidget* parent = nullptr);

  // Centred on the owner window, modal.
  int ShowModal();

  static QString VersionText();
};

}  // namespace tagmora
