#include "ui/AboutBox.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/MainWindowModel.h"
#include "ui/LinkLabel.h"
#include "ui/Pictures.h"

namespace tagmora {

QString AboutBox::VersionText() { return QString::fromUtf8(kVersionText); }

AboutBox::AboutBox(Opener opener, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FormAbout"));
  setWindowTitle(QStringLiteral("About"));

  auto* picture = new QLabel(this);
  picture->setPixmap(RenderPicture(QStringLiteral(":/pictures/tagmora.svg"), 64));
  picture->setAlignment(Qt::AlignTop);

  auto* name = new QLabel(QString::fromLatin1(kProgramName), this);
  name->setObjectName(QStringLiteral("LabelProductName"));
  QFont big = name->font();
  big.setPointSizeF(big.pointSizeF() * 1.8);
  big.setBold(true);
  name->setFont(big);

  auto* version = new QLabel(VersionText(), this);
  version->setObjectName(QStringLiteral("LabelVersion"));

  auto* about = new QLabel(
      QStringLiteral("An editor for the ID3 tags of large MP3 collections."), this);
  about->setWordWrap(true);

  auto* web = new TLinkLabel(this);
  web->setObjectName(QStringLiteral("LinkLabelWeb"));
  web->SetLinkType(TLinkType::lthttps);
  web->SetHyperLink(kWebAddress);
  web->SetOpener(opener);

  auto* mail = new TLinkLabel(this);
  mail->setObjectName(QStringLiteral("LinkLabelMail"));
  mail->SetLinkType(TLinkType::ltmailto);
  mail->SetHyperLink(kContactAddress);
  mail->SetOpener(opener);

  auto* text = new QVBoxLayout;
  text->addWidget(name);
  text->addWidget(version);
  text->addSpacing(8);
  text->addWidget(about);
  text->addSpacing(8);
  text->addWidget(web);
  text->addWidget(mail);
  text->addStretch(1);

  auto* top = new QHBoxLayout;
  top->addWidget(picture);
  top->addSpacing(12);
  top->addLayout(text, 1);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("ButtonOK"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

int AboutBox::ShowModal() {
  adjustSize();
  if (QWidget* owner = parentWidget()) {
    const QRect frame = owner->frameGeometry();
    move(frame.center() - rect().center());
  }
  return exec();
}

}  // namespace tagmora
