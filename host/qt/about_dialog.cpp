#include "host/qt/about_dialog.h"

#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace rq4800 {

namespace {
// The program's page is its README, whose place the build knows.
constexpr const char* kProjectPage = RQ4800_README_PATH;
}  // namespace

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("版本信息"));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("RQ4800模拟器"), this));
  layout->addWidget(new QLabel(QStringLiteral("掌上电脑的桌面模拟器，运行自带的固件。"), this));
  layout->addWidget(new QLabel(QStringLiteral("以 C++20 与 Qt 6 编写，开放源代码。"), this));

  const QString address = QUrl::fromLocalFile(QString::fromUtf8(kProjectPage)).toString();
  link = new QLabel(QStringLiteral("网址 <a href=\"%1\">README</a>").arg(address), this);
  link->setObjectName(QString::number(kLinkId));
  link->setTextFormat(Qt::RichText);
  link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
  link->setOpenExternalLinks(false);
  connect(link, &QLabel::linkActivated, this, [this](const QString& target) {
    emit linkOpened(target);
    QDesktopServices::openUrl(QUrl(target));
  });
  layout->addWidget(link);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
  ok->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace rq4800
