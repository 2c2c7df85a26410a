#include "helpers/libcommonforms/progress_service.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace tavrin::helpers {
namespace {

QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The caller keeps the main thread busy between calls, so the window repaints here. User
// input waits: a click must not start anything while the gathering runs.
void Repaint() {
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace

void ProgressService::Open(std::string_view text, std::string_view detail, int32_t, int32_t,
                           int32_t) {
  if (QApplication::instance() == nullptr) return;
  Close();
  dialog_ = new QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  dialog_->setWindowTitle(QApplication::applicationDisplayName());
  dialog_->setWindowModality(Qt::ApplicationModal);
  dialog_->setMinimumWidth(460);
  text_ = new QLabel(FromUtf8(text), dialog_);
  text_->setTextFormat(Qt::RichText);
  text_->setWordWrap(true);
  detail_ = new QLabel(FromUtf8(detail), dialog_);
  detail_->setVisible(!detail.empty());
  bar_ = new QProgressBar(dialog_);
  bar_->setRange(0, 0);
  auto* layout = new QVBoxLayout(dialog_);
  layout->addWidget(text_);
  layout->addWidget(detail_);
  layout->addWidget(bar_);
  if (QWidget* owner = QApplication::activeWindow()) {
    dialog_->adjustSize();
    dialog_->move(owner->geometry().center() - dialog_->rect().center());
  }
  dialog_->show();
  Repaint();
}

void ProgressService::SetPosition(int32_t position) {
  if (bar_ == nullptr) return;
  bar_->setValue(position);
  Repaint();
}

void ProgressService::SetMax(int32_t maximum) {
  if (bar_ == nullptr) return;
  bar_->setRange(0, maximum);
  Repaint();
}

void ProgressService::SetText(std::string_view text) {
  if (text_ == nullptr) return;
  text_->setText(FromUtf8(text));
  Repaint();
}

void ProgressService::Close() {
  delete dialog_;
  dialog_ = nullptr;
  text_ = nullptr;
  detail_ = nullptr;
  bar_ = nullptr;
}

}  // namespace tavrin::helpers
