#include "host/qt/about_dialog.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "host/startup.h"

namespace rq4800 {

QString EmbeddedReadme() {
  QFile file(QStringLiteral(":/rq4800/README.md"));
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(file.readAll());
}

AboutDialog::AboutDialog(QWidget* parent, const FrontEndPaths* paths) : QDialog(parent) {
  setWindowTitle(tr("版本信息"));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(tr("RQ4800模拟器  版本 %1").arg(QStringLiteral(RQ4800_VERSION)), this));
  layout->addWidget(new QLabel(tr("掌上电脑的桌面模拟器，运行自带的固件。"), this));
  layout->addWidget(new QLabel(tr("以 C++20 与 Qt 6 编写，开放源代码。"), this));
  if (paths != nullptr) {
    // Where to look for the flash image and the settings file, which move to
    // the user's folders when the program is installed.
    folders = new QLabel(tr("数据文件夹: %1\n设置文件: %2")
                             .arg(QString::fromStdString(paths->dataDirectory),
                                  QString::fromStdString(paths->settingsFile)),
                         this);
    folders->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(folders);
  }

  link = new QLabel(tr("说明 <a href=\"%1\">README</a>").arg(QLatin1String(kReadmeLink)), this);
  link->setObjectName(QString::number(kLinkId));
  link->setTextFormat(Qt::RichText);
  link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
  link->setOpenExternalLinks(false);
  connect(link, &QLabel::linkActivated, this, [this](const QString& target) {
    ShowReadme();
    emit linkOpened(target);
  });
  layout->addWidget(link);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = buttons->addButton(tr("确定"), QDialogButtonBox::AcceptRole);
  ok->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void AboutDialog::ShowReadme() {
  auto* readme = new QTextBrowser(this);
  readme->setObjectName(QString::fromLatin1(kReadmeLink));
  readme->setWindowFlag(Qt::Window);
  readme->setAttribute(Qt::WA_DeleteOnClose);
  readme->setWindowTitle(QStringLiteral("README"));
  readme->setOpenLinks(false);  // the README's links lead into a source tree the user may not have
  readme->setMarkdown(EmbeddedReadme());
  readme->resize(640, 560);
  readme->show();
}

}  // namespace rq4800
