#include "helpers/libcommonforms/about_service.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>

#include "helpers/libcommon/lib_log.h"

namespace tavrin::helpers {
namespace {

// The picture: the named file beside the program, else the program's own window icon.
QPixmap AboutPicture(std::string_view imageName, int size, qreal ratio) {
  const QString file =
      QDir(QCoreApplication::applicationDirPath())
          .filePath(QString::fromUtf8(imageName.data(), static_cast<qsizetype>(imageName.size())));
  QPixmap picture(file);
  if (!picture.isNull()) return picture;
  QIcon icon = QApplication::windowIcon();
  if (icon.isNull()) icon = QIcon::fromTheme("help-about");
  return icon.pixmap(QSize(size, size), ratio);
}

}  // namespace

void AboutService::ShowAbout(int32_t, int32_t, std::string_view imageName) {
  if (QApplication::instance() == nullptr) return;
  LibLog("About window opened");
  QDialog dialog(QApplication::activeWindow());
  dialog.setWindowTitle(QObject::tr("About %1").arg(QApplication::applicationDisplayName()));

  auto* picture = new QLabel(&dialog);
  picture->setPixmap(AboutPicture(imageName, 64, dialog.devicePixelRatioF()));
  picture->setAlignment(Qt::AlignTop);

  auto* text = new QLabel(&dialog);
  text->setTextFormat(Qt::RichText);
  text->setTextInteractionFlags(Qt::TextBrowserInteraction);
  text->setOpenExternalLinks(true);
  text->setText(QStringLiteral("<h2>%1</h2><p>Version %2</p><p>%3</p>"
                               "<p>Icons: Breeze icon theme, KDE (LGPL-3).</p>")
                    .arg(QApplication::applicationDisplayName().toHtmlEscaped(),
                         QApplication::applicationVersion().toHtmlEscaped(),
                         QApplication::organizationName().toHtmlEscaped()));

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);

  auto* row = new QHBoxLayout;
  row->addWidget(picture);
  row->addWidget(text, 1);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addLayout(row);
  layout->addWidget(buttons);
  dialog.exec();
}

}  // namespace tavrin::helpers
