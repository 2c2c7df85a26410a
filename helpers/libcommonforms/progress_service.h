// The progress window of libcommonforms.so, shown while the program gathers on its main
// thread.
#pragma once

#include <memory>

#include "helpers/interfaces.h"
#include "helpers/libcommon/service_object.h"

class QDialog;
class QLabel;
class QProgressBar;

namespace tavrin::helpers {

class ProgressService final : public ServiceObject<IVistaProgress> {
 public:
  ProgressService() : ServiceObject(guid::kVistaProgress) {}
  void Open(std::string_view text, std::string_view detail, int32_t arg1, int32_t arg2,
            int32_t arg3) override;
  void SetPosition(int32_t position) override;
  void SetMax(int32_t maximum) override;
  void SetText(std::string_view text) override;
  void Close() override;

 private:
  // Owned here and deleted by Close: the window has no parent, so nothing else frees it.
  QDialog* dialog_ = nullptr;
  QLabel* text_ = nullptr;
  QLabel* detail_ = nullptr;
  QProgressBar* bar_ = nullptr;
};

}  // namespace tavrin::helpers
