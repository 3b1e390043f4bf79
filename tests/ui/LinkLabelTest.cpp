#include <QTest>

#include <string>
#include <vector>

#include "UiTestMain.h"
#include "ui/LinkLabel.h"

using tagmora::TLinkLabel;
using tagmora::TLinkType;

class LinkLabelTest : public QObject {
  Q_OBJECT

 private slots:
  void addressBecomesTheCaptionOnlyWhenThereIsNone() {
    TLinkLabel bare;
    bare.SetHyperLink("example.org/tagmora");
    QCOMPARE(bare.text(), QStringLiteral("example.org/tagmora"));

    TLinkLabel named;
    named.setText(QStringLiteral("Web page"));
    named.SetHyperLink("example.org/tagmora");
    QCOMPARE(named.text(), QStringLiteral("Web page"));
  }

  void clickHandsPrefixAndAddressToTheShell() {
    std::vector<std::string> opened;
    TLinkLabel mail;
    mail.resize(100, 20);
    mail.SetOpener([&](const std::string& a) { opened.push_back(a); });
    mail.SetLinkType(TLinkType::ltmailto);
    mail.SetHyperLink("someone@example.org");
    QTest::mouseClick(&mail, Qt::LeftButton, {}, QPoint(5, 5));

    TLinkLabel empty;
    empty.resize(100, 20);
    empty.SetOpener([&](const std::string& a) { opened.push_back(a); });
    empty.SetLinkType(TLinkType::ltnews);
    QTest::mouseClick(&empty, Qt::LeftButton, {}, QPoint(5, 5));
    // Another button opens nothing.
    QTest::mouseClick(&empty, Qt::RightButton, {}, QPoint(5, 5));

    QCOMPARE(opened, (std::vector<std::string>{"mailto:someone@example.org", "news:"}));
  }
};

TAGMORA_UI_TEST(LinkLabelTest);
#include "LinkLabelTest.moc"
