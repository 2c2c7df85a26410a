#include "helpers/libsettings/settings_service.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "helpers/libcommon/lib_log.h"

namespace tavrin::helpers {
namespace {

QString FromUtf8(const std::string& text) {
  return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// A text of the label table in the user's language; the English default when the language
// file has none.
QString Text(ILocalizer& localizer, std::string_view key, std::string english) {
  localizer.TranslateVar(key, english);
  return FromUtf8(english);
}

}  // namespace

void SettingsService::Attach(ILocalizer* localizer, IOptions* options) {
  localizer_ = localizer;
  options_ = options;
}

void SettingsService::ShowSettings(void* owner, ApplyCallback apply) {
  if (QApplication::instance() == nullptr || localizer_ == nullptr || options_ == nullptr) {
    LibLog("Settings window not shown: the program attached no localizer or options");
    return;
  }
  QDialog dialog(static_cast<QWidget*>(owner));
  dialog.setWindowTitle(Text(*localizer_, "S_ACT_SETTINGS", "Settings"));

  auto* languages = new QComboBox(&dialog);
  const std::string current = options_->ReadString("Language");
  // The built-in English texts are always there, also without a language file.
  languages->addItem(QStringLiteral("English"), QStringLiteral("ENU"));
  for (const LanguageInfo& language : localizer_->ListLanguages()) {
    const QString code = FromUtf8(language.code);
    if (languages->findData(code, Qt::UserRole, Qt::MatchFixedString) >= 0) continue;
    if (language.name == "English") {
      languages->setItemData(0, code);
      continue;
    }
    languages->addItem(FromUtf8(language.name), code);
  }
  const int selected =
      languages->findData(FromUtf8(localizer_->GetLanguage()), Qt::UserRole, Qt::MatchFixedString);
  languages->setCurrentIndex(selected >= 0 ? selected : 0);

  auto* note = new QLabel(Text(*localizer_, "S_SET_NEXT_START",
                               "A new language is used from the next start of the program."),
                          &dialog);
  note->setWordWrap(true);
  note->setEnabled(false);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);

  auto* form = new QFormLayout;
  form->addRow(Text(*localizer_, "S_SET_LANGUAGE", "Language:"), languages);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addLayout(form);
  layout->addWidget(note);
  layout->addStretch(1);
  layout->addWidget(buttons);
  dialog.resize(380, dialog.sizeHint().height());

  if (dialog.exec() != QDialog::Accepted) return;
  const std::string chosen = languages->currentData().toString().toStdString();
  if (!chosen.empty() && chosen != current) {
    options_->WriteString("Language", chosen);
    LibLogFmt("Settings: language %s chosen for the next start", chosen.c_str());
  }
  if (apply != nullptr) apply();
}

}  // namespace tavrin::helpers
